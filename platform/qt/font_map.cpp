#include "platform/qt/font_map.h"

#include <QFontDatabase>
#include <array>
#include <utility>

namespace mogumo {

QString FontMap::family(std::string_view gameFamily) {
    const QString wanted = QString::fromUtf8(gameFamily.data(), static_cast<qsizetype>(gameFamily.size()));
    if (QFontDatabase::hasFamily(wanted))
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

QFont FontMap::toQFont(const Font& font) {
    QFont f(family(font.family));
    f.setPointSizeF(font.points);
    f.setWeight(font.bold ? QFont::Bold : QFont::Normal);
    f.setUnderline(font.underline);
    return f;
}

QFont FontMap::fontFor(const std::optional<Font>& own, const std::optional<Font>& screenFont) {
    if (own)
        return toQFont(*own);
    if (screenFont)
        return toQFont(*screenFont);
    return toQFont(Font{"ＭＳ Ｐゴシック", 9.0f, false, false});
}

}  // namespace mogumo
