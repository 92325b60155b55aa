#pragma once

#include <QFrame>
#include <QList>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <vector>

namespace mogumo {

// A text box the player never types in (a disabled one). The game rewrites
// such boxes, the lure's status among them, every step, so the text is laid
// out and painted directly rather than kept in a full text editor; it looks
// like the editor's frame, margin and colours.
//
// The text lies on an opaque inner area: a change repaints only the lines
// that changed, each shaped once per change of its text, and neither the
// sunken frame nor the window below is painted again for it.
class StatusBoxWidget : public QFrame {
public:
    StatusBoxWidget(QWidget* parent, bool wrap);
    ~StatusBoxWidget() override;

    // `formats` lend some letters another font (see FontMap::lentLetters).
    void setText(const QString& text, const QList<QTextLayout::FormatRange>& formats);
    const QString& text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Area;
    // One paragraph of the text, laid out.
    struct Paragraph {
        QString text;
        QList<QTextLayout::FormatRange> formats;
        std::unique_ptr<QTextLayout> layout;
        QRectF bounds;  // of its lines, in the box
    };

    QRect textArea() const;
    // Where the inner area lies in the box.
    QRect areaRect() const;
    // Lays the text out afresh; paragraphs of `before` that stay as they were
    // keep their layouts.
    void layOut(std::vector<Paragraph> before = {});
    // The part of the box a changed line shows on, from its old and new
    // extents.
    QRect changedPart(const QRectF& before, const QRectF& after) const;
    // The background and the lines that reach into `dirty`, in the box's
    // coordinates.
    void paintText(QPainter& p, const QRegion& dirty) const;
    void paintArea(QPaintEvent* event);

    Area* area_;
    QString text_;
    QList<QTextLayout::FormatRange> formats_;
    std::vector<Paragraph> paragraphs_;
    bool wrap_;
};

}  // namespace mogumo
