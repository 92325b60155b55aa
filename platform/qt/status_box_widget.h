#pragma once

#include <QFrame>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>
#include <QTextLayout>
#include <cstdint>
#include <vector>

namespace mogumo {

// A text box the player never types in (a disabled one). The game rewrites
// such boxes, the lure's status among them, every step, so the text is laid
// out and painted directly rather than kept in a full text editor; it looks
// like the editor's frame, margin and colours.
//
// The text lies on an opaque inner area: a change repaints only the glyphs
// that changed, and neither the sunken frame nor the window below is painted
// again for it. A line whose letters have all been seen before is put
// together from them without shaping it again, where that gives exactly the
// glyphs and places the shaper would.
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
    // One glyph as laid out: its face (an index into Shapes::faces), and its pen
    // position from the text area's top left.
    struct Glyph {
        quint32 index = 0;
        int face = 0;
        QPointF pos;
        qreal advance = 0;
        bool operator==(const Glyph&) const = default;
    };
    // One paragraph of the text, laid out; its glyphs go top to bottom, left
    // to right.
    struct Paragraph {
        QString text;
        QList<QTextLayout::FormatRange> formats;
        std::vector<Glyph> glyphs;
        QRectF bounds;  // of its lines, in the box
        int lines = 0;
        qreal advance = 0;  // of its longest line, blanks at its end included
    };
    // A letter shaped on its own, for lines put together from letters.
    struct Letter {
        bool alone = false;  // one glyph on the line's baseline, placed by its advance alone
        QChar c;
        uint16_t lent = 0;  // the font lent to it (see lentIndex), 0 for none
        quint32 index = 0;
        int face = 0;
        qreal advance = 0;
    };

    QRect textArea() const;
    // Where the inner area lies in the box.
    QRect areaRect() const;
    // The text laid out afresh; paragraphs of `before` lend what they can.
    std::vector<Paragraph> layOut(const std::vector<Paragraph>& before = {});
    // Shapes `text` from `top` down, wrapped to the text area when the box
    // wraps, into `para`.
    void shape(Paragraph& para, qreal top);
    // Puts a one-line paragraph together from its letters where it lies as
    // `was` did with the same faces; false where only the shaper can tell.
    bool compose(Paragraph& para, const Paragraph& was);
    Letter letter(QChar c, uint16_t lent);
    // Whether two letters side by side shape as each alone does.
    bool pairHolds(const Letter& first, const Letter& second);
    // A font lent to letters as a number, 1 and up, and back as formats.
    uint16_t lentIndex(const QTextCharFormat& format);
    QList<QTextLayout::FormatRange> lentFormats(uint16_t lent, int at) const;
    int faceOf(const QGlyphRun& run);
    // The faces a line's glyphs are set in, a bit each; 0 when one lies
    // beyond the 64 bits.
    static uint64_t facesOf(const std::vector<Glyph>& glyphs);
    // The part of the box that changed between two layouts of a paragraph.
    QRect changedPart(const Paragraph& was, const Paragraph& now) const;
    // The background and the glyphs that reach into `dirty`, in the box's
    // coordinates.
    void paintText(QPainter& p, const QRegion& dirty) const;
    void paintArea(QPaintEvent* event);

    Area* area_;
    QString text_;
    QList<QTextLayout::FormatRange> formats_;
    std::vector<Paragraph> paragraphs_;
    bool wrap_;
    // What a face is drawn with: the font and its lines (underline and such).
    struct Face {
        QRawFont font;
        bool underline = false, overline = false, strikeOut = false;
        bool operator==(const Face&) const = default;
    };
    // The faces, letters and pairs of letters seen in one font, by the
    // letters and the fonts lent to them; shared by every box in that font,
    // so that a box opened again finds them.
    struct Shapes {
        std::vector<Face> faces;
        QHash<quint32, Letter> letters;
        QHash<quint64, bool> pairs;
        std::vector<QTextCharFormat> lentFormats;
    };
    static Shapes& shapesFor(const QFont& font, const QPaintDevice& device);
    Shapes* shapes_;
    std::vector<uint16_t> lentTo_;  // each letter's, for the line being put together
};

}  // namespace mogumo
