#include "platform/qt/font_map.h"

#include <QFontDatabase>
#include <QSet>
#include <QTextCharFormat>
#include <array>
#include <utility>
#include <vector>

#include "platform/qt/font_setup.h"

namespace mogumo {

namespace {

// Whether a family is installed, by the font database's own list, read once
// when a font is first needed. Asking the database family by family sends a
// name it does not know (all the game's own names, on most systems) through
// fontconfig's alias rules each time, which costs more than the whole list.
bool installed(const QString& family) {
    static const QSet<QString> families = [] {
        FontSetup::wait();
        QSet<QString> all;
        for (const QString& f : QFontDatabase::families()) all.insert(f.toCaseFolded());
        return all;
    }();
    return families.contains(family.toCaseFolded());
}

}  // namespace

QString FontMap::family(std::string_view gameFamily) {
    const QString wanted = QString::fromUtf8(gameFamily.data(), static_cast<qsizetype>(gameFamily.size()));
    if (installed(wanted))
        return wanted;
    static const std::array<std::pair<std::string_view, const char*>, 3> standIns{{
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ ゴシック", "IPAGothic"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
    }};
    for (const auto& [name, standIn] : standIns)
        if (name == gameFamily)
            return QString::fromLatin1(standIn);
    return QStringLiteral("IPAPGothic");
}

namespace {

// Text below 16 device pixels (12 pt at 96 dpi) counts as small.
bool isSmall(qreal points, qreal devicePixelRatio) {
    return points * devicePixelRatio < 12.0;
}

}  // namespace

QFont FontMap::toQFont(const Font& font, qreal devicePixelRatio) {
    // Made once for each font, size and pixel ratio the screens use.
    struct Made {
        Font font;
        qreal devicePixelRatio;
        QFont qfont;
    };
    static std::vector<Made> made;
    for (const Made& m : made)
        if (m.font == font && m.devicePixelRatio == devicePixelRatio)
            return m.qfont;
    QFont f(family(font.family));
    f.setPointSizeF(font.points);
    f.setWeight(font.bold ? QFont::Bold : QFont::Normal);
    f.setUnderline(font.underline);
    if (isSmall(font.points, devicePixelRatio))
        f.setHintingPreference(QFont::PreferFullHinting);
    made.push_back({font, devicePixelRatio, f});
    return f;
}

QFont FontMap::fontFor(const std::optional<Font>& own, const std::optional<Font>& screenFont,
                       qreal devicePixelRatio) {
    if (own)
        return toQFont(*own, devicePixelRatio);
    if (screenFont)
        return toQFont(*screenFont, devicePixelRatio);
    return toQFont(Font{"ＭＳ Ｐゴシック", 9.0f, false, false}, devicePixelRatio);
}

QList<QTextLayout::FormatRange> FontMap::lentLetters(const QString& text, const QFont& font,
                                                     qreal devicePixelRatio) {
    QList<QTextLayout::FormatRange> runs;
    static const QString lenderFamily = QStringLiteral("DejaVu Sans Mono");
    if (font.family() != QLatin1String("IPAGothic") || !isSmall(font.pointSizeF(), devicePixelRatio) ||
        !installed(lenderFamily))
        return runs;
    QFont lender(lenderFamily);
    lender.setPointSizeF(font.pointSizeF());
    lender.setWeight(font.weight());
    lender.setUnderline(font.underline());
    lender.setHintingPreference(QFont::PreferFullHinting);
    QTextCharFormat format;
    format.setFont(lender);
    const auto lent = [](QChar c) { return c == QLatin1Char('m') || c == QLatin1Char('M'); };
    for (qsizetype i = 0; i < text.size();) {
        if (!lent(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && lent(text[end])) ++end;
        runs.append({static_cast<int>(i), static_cast<int>(end - i), format});
        i = end;
    }
    return runs;
}

}  // namespace mogumo
