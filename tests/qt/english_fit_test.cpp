// The English texts fit their controls, measured with the fonts the windows
// use, at scales 1 and 2: every caption of the layouts in its own control,
// every line the game writes in the control it is written to, with the
// longest numbers and names it can hold.

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>
#include <iostream>

#include "core/layout.h"
#include "platform/qt/catch_book_window.h"
#include "platform/qt/font_map.h"
#include "qt_fixture.h"
#include "screens/battle/species_catalogue.h"
#include "ui/layouts/layouts.h"
#include "ui/texts/english.h"

namespace mogumo {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at <= text.size();) {
        const size_t end = std::min(text.find("\r\n", at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

const Control& controlOf(const ScreenLayout& layout, std::string_view name, int index = -1) {
    for (const Control& c : layout.controls)
        if (c.name == name && c.index == index)
            return c;
    throw std::invalid_argument(std::string(name));
}

// The width a control gives its text on one line: its box less a border,
// a button's frame, a text box's frame, margins and scroll bar.
double textWidth(const Control& c) {
    const int w = c.pixels().width;
    switch (c.kind) {
        case ControlKind::Button: return w - 6;
        case ControlKind::TextBox: return w - 2 * 2 - 2 * 4 - (c.scrollBar ? 17 : 0);
        default: return c.border ? w - 4 : w;
    }
}

// Whether the control breaks a line too long for it between words.
bool wraps(const Control& c) {
    return c.kind == ControlKind::Label || (c.kind == ControlKind::TextBox && c.multiLine);
}

struct Measured {
    explicit Measured(int s) : scale(s) {}
    int scale;
    QImage device{1, 1, QImage::Format_RGB32};
    std::vector<std::string> spills;  // lines wider than their control, shown as the Japanese are

    int wrappedLines(const QFont& font, const std::string& text, double width) {
        QTextLayout layout(QString::fromStdString(text), font, &device);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine(), ++lines)
            line.setLineWidth(width);
        layout.endLayout();
        return lines;
    }

    // Every line of `japanese`, in English, fits the control on one line;
    // or, a one-word centred caption, spills past its sides and stays in the
    // window; or, where the control wraps, takes no more lines than the box
    // holds or the Japanese takes.
    void fits(const ScreenLayout& layout, const Control& c, const std::string& japanese) {
        device.setDevicePixelRatio(scale);
        const QFont font = FontMap::fontFor(c.font, layout.screenFont, scale);
        const QFontMetricsF fm(font, &device);
        const std::vector<std::string> ja = linesOf(japanese);
        const std::vector<std::string> en = linesOf(shownText(Language::English, japanese));
        ASSERT_EQ(ja.size(), en.size());
        for (size_t i = 0; i < en.size(); ++i) {
            const double width = fm.horizontalAdvance(QString::fromStdString(en[i]));
            const double room = textWidth(c);
            const std::string where = std::string(layout.formName) + "." + std::string(c.name) + " \"" +
                                      en[i] + "\" at scale " + std::to_string(scale);
            EXPECT_FALSE(hasJapaneseScript(en[i])) << where;
            if (width <= room)
                continue;
            spills.push_back(where);
            const PixelRect box = c.pixels();
            const int window = layout.clientPixels().width;
            if (c.kind == ControlKind::Label && c.centred && en[i].find(' ') == std::string::npos) {
                EXPECT_LE(width, box.width + 2 * std::min(box.x, window - box.x - box.width)) << where;
                continue;
            }
            ASSERT_TRUE(wraps(c)) << where << ": " << width << " px in " << room;
            const int holds = std::max(1, static_cast<int>(box.height / fm.lineSpacing()));
            EXPECT_LE(wrappedLines(font, en[i], room), std::max(holds, wrappedLines(font, ja[i], room)))
                << where;
        }
    }
};

TEST(EnglishFit, EveryTextFitsItsControlAsTheJapaneseDoes) {
    // The longest numbers: the biggest spot's width and life, a full catch
    // log, three-digit interest.
    std::vector<std::tuple<FormId, std::string_view, int, std::string>> written = {
        {FormId::Form5, "Label1", -1, "HP:7000 stage:巨大釣り堀"},
        {FormId::Form5, "Text1", -1, "届いた長さは2000Ｍです"},
        {FormId::Form5, "Text1", -1, "ＨＩＴ！！！"},
        {FormId::Form6, "Text1", -1, "YOUR LIFE：-7000 魚の興味：100％\r\n岸まで2000M"},
        {FormId::Form8, "MENU", -1, " LIFE :-7000\r\n岸まで:-2000M\r\nあれ:-100"},
        {FormId::Form4, "Text1", -1,
         "釣った数:99\r\n総重量:2147483647g 平均:333.333333333333g\r\n平均身長:-1234.56789012345mm"},
    };
    for (const TextPair& spot : englishTable().spots)
        written.push_back(
            {FormId::Form3, "Text1", -1,
             "つり場所：" + std::string(spot.japanese) + "\r\n広さ：2000Ｍ  残ＨＰ：7000\r\n種類：41種類"});
    for (const TextPair& fish : englishTable().species) {
        written.push_back({FormId::Form8, "Label2", -1, std::string(fish.japanese) + "を 釣り上げた！"});
        written.push_back({FormId::Form4, "Text1", -1, catchLogLine(fish.japanese, 99999999, 99999999)});
    }
    for (const int scale : {1, 2}) {
        Measured m(scale);
        for (int f = 0; f < kFormCount; ++f) {
            const ScreenLayout& layout = layoutOf(static_cast<FormId>(f));
            for (const Control& c : layout.controls)
                if (!c.text.empty() && !c.isTimer())
                    m.fits(layout, c, c.text);
        }
        for (const auto& [form, name, index, text] : written)
            m.fits(layoutOf(form), controlOf(layoutOf(form), name, index), text);
        for (const std::string& s : m.spills) std::cout << "[ spills ] " << s << '\n';
    }
}

// The catch book's window speaks English too: its totals, a landed fish's
// row with the best game and the heaviest fish, and the rows never landed.
TEST(EnglishFit, TheCatchBookReadsInEnglish) {
    book::CatchBook kept;
    const book::Date day{2026, 12, 8};
    kept.land(38, 46310, 15820, 3, day);
    kept.finishGame(46310, 1, 3, day);
    CatchBookWindow window(testPictures(), Language::English);
    book::News news;
    news.rows[38] = news.bestGame = true;
    window.open(kept, news);
    for (const QString& text : {window.totalsText(), window.rowText(38), window.rowText(0)})
        EXPECT_FALSE(hasJapaneseScript(text.toStdString())) << text.toStdString();
    EXPECT_TRUE(window.rowText(38).contains(QStringLiteral("Sea Princess ×1")));
}

}  // namespace
}  // namespace mogumo
