// The fixed design of the eight screens: each window and its controls, listed
// front to back, in twips. Captions are the game's own, spaces included.

#include "ui/layouts/layouts.h"

#include <array>

// The tables are laid out by hand, a control a line, to read like the design.
// clang-format off

namespace mogumo {
namespace {

constexpr std::string_view kPGothic = "ＭＳ Ｐゴシック";
constexpr std::string_view kGothic = "ＭＳ ゴシック";
constexpr std::string_view kPMincho = "ＭＳ Ｐ明朝";

constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kPaleCyan = 0x00FFFFC0;
constexpr Colour kTeal = 0x00808000;
constexpr Colour kCyan = 0x00C0C000;
constexpr Colour kDarkRed = 0x000000C0;
constexpr Colour kGrey = 0x00808080;
constexpr Colour kPaleBlue = 0x00FFC0C0;
constexpr Colour kRed = 0x000000FF;
constexpr Colour kGreen = 0x0000FF00;
constexpr Colour kYellow = 0x0000FFFF;

// A control under construction; the modifiers read like the layout's settings.
struct C : Control {
    C& idx(int i) { index = i; return *this; }
    C& hidden() { visible = false; return *this; }
    C& disabled() { enabled = false; return *this; }
    C& bordered() { border = true; return *this; }
    C& centre() { centred = true; return *this; }
    C& stretched() { stretch = true; return *this; }
    C& clear() { transparent = true; return *this; }
    C& fore(Colour c) { foreColour = c; return *this; }
    C& back(Colour c) { backColour = c; return *this; }
    C& edge(Colour c) { borderColour = c; return *this; }
    C& tab(int t) { tabOrder = t; return *this; }
    C& focus() { hasFocusAtOpen = true; return *this; }
    C& withFont(std::string_view family, float pt, bool b = false, bool u = false) {
        font = Font{family, pt, b, u};
        return *this;
    }
    C& multi() { multiLine = true; return *this; }
    C& scroll() { scrollBar = true; return *this; }
    C& readonly() { readOnly = true; return *this; }
    C& arrow() { arrowPointer = true; return *this; }
    C& widthPx(int px) { lineWidthPx = px; return *this; }
    C& inside(std::string_view box) { container = box; return *this; }
};

C base(ControlKind kind, std::string_view name, float l, float t, float w, float h) {
    C c;
    c.kind = kind;
    c.name = name;
    c.left = l;
    c.top = t;
    c.width = w;
    c.height = h;
    return c;
}
C button(std::string_view name, float l, float t, float w, float h, std::string_view caption) {
    C c = base(ControlKind::Button, name, l, t, w, h);
    c.text = caption;
    return c;
}
C label(std::string_view name, float l, float t, float w, float h, std::string_view caption) {
    C c = base(ControlKind::Label, name, l, t, w, h);
    c.text = caption;
    return c;
}
C textBox(std::string_view name, float l, float t, float w, float h, std::string_view text) {
    C c = base(ControlKind::TextBox, name, l, t, w, h);
    c.text = text;
    return c;
}
C image(std::string_view name, float l, float t, float w, float h, std::string_view picture) {
    C c = base(ControlKind::Image, name, l, t, w, h);
    c.picture = picture;
    return c;
}
C shape(std::string_view name, float l, float t, float w, float h, Colour fill) {
    C c = base(ControlKind::Shape, name, l, t, w, h);
    c.fillColour = fill;
    return c;
}
C line(std::string_view name, float x1, float y1, float x2, float y2) {
    C c = base(ControlKind::Line, name, 0, 0, 0, 0);
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    return c;
}
C pictureBox(std::string_view name, float l, float t, float w, float h, Colour background) {
    C c = base(ControlKind::PictureBox, name, l, t, w, h);
    c.backColour = background;
    return c;
}
C progressBar(std::string_view name, int index, float l, float t, float w, float h, float max) {
    C c = base(ControlKind::ProgressBar, name, l, t, w, h);
    c.index = index;
    c.max = max;
    return c;
}
// `gated`: a tick of it passes the shared 50 ms step gate before its handler
// runs; while the gate is shut the tick does nothing.
C timer(std::string_view name, int interval, bool running, bool gated) {
    C c = base(ControlKind::Timer, name, 0, 0, 0, 0);
    c.interval = interval;
    c.enabled = running;
    c.gated = gated;
    return c;
}

ScreenLayout title() {
    return {.id = FormId::Form1, .formName = "Form1", .caption = "タイトル(ヘルプは Ｆ１ ででるよ)",
            .clientLeft = 1380, .clientTop = 2040, .clientWidth = 7335, .clientHeight = 4590,
            .background = kWhite, .icon = "angler_stride",
            .controls = {
                button("Command2", 120, 3840, 3015, 255, "THE END").tab(3),
                button("Command1", 120, 3480, 3015, 375, "ＧＡＭＥ　ＳＴＡＲＴ   !!!!!").tab(1).focus(),
                label("Label2", 0, 4095, 3075, 435, "Ｐｏｒｉｍａ 1999")
                    .fore(kYellow).clear().withFont(kPGothic, 21.75f, true, true),
                label("Label1", 945, 0, 5415, 960, "Mogumo野郎")
                    .fore(kRed).clear().centre().withFont(kPMincho, 48.0f, true),
                image("Image1", 0, 0, 7365, 4635, "title_art").stretched(),
            }, .helpSection = "howto"};
}

ScreenLayout pictureStore() {
    auto kao = [](int i, float l, float t, float size, std::string_view pic) {
        return image("kao", l, t, size, size, pic).idx(i).hidden().bordered();
    };
    return {.id = FormId::Form2, .formName = "Form2", .caption = "Form2",
            .clientLeft = 8310, .clientTop = 4110, .clientWidth = 4950, .clientHeight = 2055,
            .enabled = false,
            .controls = {
                kao(13, 3720, 1080, 540, "angler_front"),
                kao(12, 3120, 1080, 540, "angler_stride"),
                kao(11, 2520, 1080, 600, "swimsuit_lie"),
                kao(10, 1920, 1080, 600, "swimsuit_pull"),
                kao(9, 1320, 1080, 600, "swimsuit_rod"),
                kao(8, 720, 1080, 600, "swimsuit_stride"),
                kao(7, 120, 1080, 600, "swimsuit_front"),
                image("nami", 420, 630, 330, 330, "wave_double").idx(1).stretched().bordered(),
                image("nami", 105, 630, 330, 330, "wave_crest").idx(0).stretched().bordered(),
                kao(6, 3255, 105, 540, "angler_wave"),
                kao(5, 2730, 105, 540, "angler_cheer"),
                kao(4, 2205, 105, 540, "angler_fall"),
                kao(3, 1680, 105, 540, "angler_pull"),
                kao(2, 1155, 105, 540, "angler_rod"),
                kao(1, 630, 105, 540, "angler_stride"),
                kao(0, 105, 105, 540, "angler_front"),
            },
            .everShown = false};
}

ScreenLayout spot() {
    auto wave = [](int i) {
        return image("utuse", 945.0f * static_cast<float>(i), 3255, 960, 750, "wave_crest")
            .idx(i)
            .stretched();
    };
    return {.id = FormId::Form3, .formName = "Form3", .caption = "つり場所",
            .clientLeft = 1620, .clientTop = 1995, .clientWidth = 6840, .clientHeight = 3975,
            .controls = {
                button("Command2", 2730, 2205, 960, 330, "決定！").tab(4),
                button("Command1", 1155, 2205, 1485, 330, "＜＜＜").idx(0).tab(2),
                textBox("Text1", 1155, 945, 4110, 1170, "Text1").multi().scroll().readonly().tab(1),
                timer("Timer1", 100, true, true),
                button("Command1", 3780, 2205, 1485, 330, "＞＞＞").idx(1).tab(3),
                wave(4),
                wave(3),
                wave(2),
                wave(1),
                wave(0),
                label("Label1", 840, 210, 5055, 435, "つり場所は？")
                    .clear().bordered().centre().withFont(kPGothic, 14.25f, true, true),
                image("Image1", 5250, 2205, 1380, 1485, "").stretched(),
                shape("Shape1", 4725, 3360, 2220, 645, kDarkRed),
            }, .helpSection = "spots"};
}

ScreenLayout results() {
    return {.id = FormId::Form4, .formName = "Form4", .caption = "成績発表！",
            .clientLeft = 1500, .clientTop = 1860, .clientWidth = 5445, .clientHeight = 5070,
            .screenFont = Font{kGothic, 9.0f},
            .controls = {
                button("Command1", 1440, 4680, 2655, 375, "満足").withFont(kPGothic, 9.0f).tab(1),
                textBox("Text1", 240, 120, 5055, 4455, "得点\r\n")
                    .multi().scroll().readonly().withFont(kGothic, 9.0f).tab(0),
            }, .helpSection = "results"};
}

ScreenLayout cast() {
    auto wave = [](int i) {
        return image("utuse", 525.0f * static_cast<float>(i), 840, 540, 540, "wave_crest")
            .idx(i)
            .stretched();
    };
    return {.id = FormId::Form5, .formName = "Form5", .caption = "キャスト！（多いと飛びもいいよ）",
            .clientLeft = 1500, .clientTop = 1830, .clientWidth = 6510, .clientHeight = 2100,
            .background = kPaleCyan,
            .controls = {
                pictureBox("Picture1", 480, 120, 5055, 255, kRed).tab(3),
                shape("pow2", -240, 0, 5175, 255, kGreen).inside("Picture1"),
                timer("Timer1", 2000, true, false),
                timer("Timer2", 1, true, true),
                button("cast", 2400, 600, 1275, 225, "キャスト！！").arrow().tab(1).focus(),
                textBox("Text1", 105, 1470, 6315, 540, "").multi().readonly().disabled().tab(0),
                label("Label1", 0, 525, 2325, 225, "hp:").bordered(),
                wave(9),
                wave(8),
                wave(7),
                wave(6),
                wave(5),
                wave(4),
                wave(3),
                wave(2),
                wave(1),
                image("Image1", 5775, 315, 480, 480, "").stretched(),
                shape("Shape1", 5565, 630, 1065, 1590, kDarkRed),
                wave(0),
                wave(10),
                shape("Shape2", 0, 1260, 5580, 960, kTeal),
            }, .helpSection = "cast"};
}

ScreenLayout lure() {
    auto rock = [](int i, float l, float t) { return image("iwa", l, t, 480, 480, "rock").idx(i); };
    return {.id = FormId::Form6, .formName = "Form6", .caption = "Shiftでルアーをひく Ｅｎｄでギブアップ ",
            .clientLeft = 1515, .clientTop = 4320, .clientWidth = 6465, .clientHeight = 2925,
            .background = kTeal,
            .controls = {
                timer("Timer3", 3000, false, false),
                timer("Timer2", 50, false, false),
                textBox("Text1", 105, 2100, 6315, 750, "").multi().disabled().tab(0),
                timer("Timer1", 1, true, true),
                label("Label1", 720, 240, 4695, 255, "タイム オーバー")
                    .hidden().back(kPaleBlue).bordered().centre(),
                image("gyo3", 315, 630, 1590, 960, "fish_calm").stretched(),
                rock(5, 945, 1680),
                rock(4, 3045, 1575),
                rock(3, 1995, 1680),
                rock(2, 525, 1575),
                rock(0, 5460, 1680),
                line("ito", 4620, 525, 6510, 0),
                image("img", 4620, 525, 480, 480, "lure_flex").idx(1).hidden(),
                image("img", 4095, 525, 480, 480, "lure_straight").idx(0).hidden(),
                image("rua", 4410, 315, 330, 330, "lure_flex").stretched(),
                image("uo", 1680, 1050, 225, 225, "").hidden().disabled().stretched(),
                rock(1, 3780, 1470),
                rock(6, 4935, 1575),
                shape("Shape1", 0, 1890, 6525, 1065, kGrey).edge(kGrey),
            },
            .playedByKeys = true, .stackedUnder = FormId::Form5, .helpSection = "lure"};
}

ScreenLayout splash() {
    return {.id = FormId::Form7, .formName = "Form7", .caption = "バトル！！",
            .clientLeft = 1485, .clientTop = 1830, .clientWidth = 6525, .clientHeight = 1455,
            .background = kPaleCyan, .enabled = false,
            .controls = {
                line("Line1", 3675, 1680, 5040, 525),
                image("Image1", 5670, 525, 645, 645, "angler_rod").stretched(),
                line("Line2", 5775, 945, 5040, 525).widthPx(2),
                shape("Shape1", 5565, 1155, 1170, 645, kDarkRed),
                shape("Shape2", 0, 1260, 5580, 540, kTeal).edge(kTeal),
            },
            .takesKeys = false};
}

ScreenLayout battle() {
    auto rock = [](int i, float l, float t) { return image("iwa", l, t, 480, 480, "rock").idx(i); };
    auto fish = [](int i, float l, std::string_view pic) {
        return image("uoimg", l, 2445, 480, 480, pic).idx(i).hidden();
    };
    return {.id = FormId::Form8, .formName = "Form8", .caption = "魚介類とのバトル（Shiftでひく Ｅｎｄでやめる）",
            .clientLeft = 1485, .clientTop = 3705, .clientWidth = 6540, .clientHeight = 4140,
            .background = kCyan,
            .controls = {
                timer("Timer3", 3000, false, false),
                timer("Timer2", 1, false, true),
                timer("Timer1", 1, true, true),
                progressBar("HP", 1, 1440, 3840, 2895, 255, 100),
                progressBar("HP", 0, 1440, 3600, 2895, 255, 500),
                label("Label2", 840, 960, 4695, 255, "見つけた魚を逃してしまった・・・・")
                    .hidden().back(kPaleBlue).bordered().centre(),
                rock(6, 4800, 2880),
                rock(1, 3675, 2835),
                rock(0, 5400, 3000),
                rock(2, 420, 2940),
                rock(3, 1890, 3045),
                rock(4, 2940, 2940),
                rock(5, 840, 3045),
                image("uoyosu", 1995, 1890, 1275, 960, "fish_struggle").stretched(),
                fish(2, 5460, "fish_leap"),
                fish(1, 4935, "fish_struggle"),
                fish(0, 4410, "fish_calm"),
                label("MENU", 4440, 3480, 1935, 615, "LIFE:9999            岸まで:1200Ｍ")
                    .bordered().withFont(kGothic, 9.0f),
                label("Label1", 360, 3840, 960, 240, "糸の耐久力    ").idx(1).bordered().withFont(kGothic, 9.0f),
                label("Label1", 360, 3600, 960, 240, "FISH  LIFE").idx(0).bordered().withFont(kGothic, 9.0f),
                shape("Shape1", 0, 3255, 6630, 855, kGrey).edge(kGrey),
                line("ito", 6510, 0, 2625, 2205),
            },
            .playedByKeys = true, .stackedUnder = FormId::Form7, .helpSection = "battle"};
}

const std::array<ScreenLayout, kFormCount>& all() {
    static const std::array<ScreenLayout, kFormCount> layouts{
        title(), pictureStore(), spot(), results(), cast(), lure(), splash(), battle(),
    };
    return layouts;
}

}  // namespace

const ScreenLayout& layoutOf(FormId id) { return all()[static_cast<size_t>(id)]; }

std::optional<FormId> formByName(std::string_view name) {
    for (const ScreenLayout& l : all())
        if (l.formName == name) return l.id;
    return std::nullopt;
}

}  // namespace mogumo
// clang-format on
