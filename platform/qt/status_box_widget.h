#pragma once

#include <QFrame>
#include <QList>
#include <QString>
#include <QTextLayout>

namespace mogumo {

// A text box the player never types in (a disabled one). The game rewrites
// such boxes, the lure's status among them, every step, so the text is laid
// out and painted directly rather than kept in a full text editor; it looks
// like the editor's frame, margin and colours.
class StatusBoxWidget : public QFrame {
public:
    StatusBoxWidget(QWidget* parent, bool wrap);

    // `formats` lend some letters another font (see FontMap::lentLetters).
    void setText(const QString& text, const QList<QTextLayout::FormatRange>& formats);
    const QString& text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QList<QTextLayout::FormatRange> formats_;
    bool wrap_;
};

}  // namespace mogumo
