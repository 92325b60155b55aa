#include "platform/web/web_view.h"

#include <string_view>

#include "core/game.h"
#include "core/json_writer.h"
#include "core/keys.h"
#include "core/pictures.h"
#include "script/book_texts.h"
#include "script/play.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

namespace {

void writeRect(JsonWriter& out, const PixelRect& r) {
    out.value(r.x);
    out.value(r.y);
    out.value(r.width);
    out.value(r.height);
}

void writeScreen(JsonWriter& out, const Screen& s, Language language) {
    out.beginObject();
    out.field("form", static_cast<int>(s.id()));
    out.field("instance", static_cast<int64_t>(s.instance()));
    out.field("enabled", s.enabled());
    out.key("controls");
    out.beginArray();
    for (const Control& c : s.controls()) {
        out.beginArray();
        if (c.kind == ControlKind::Line) {
            out.value(c.x1 / kTwipsPerPixel);
            out.value(c.y1 / kTwipsPerPixel);
            out.value(c.x2 / kTwipsPerPixel);
            out.value(c.y2 / kTwipsPerPixel);
            out.value(c.visible);
        } else if (!c.isTimer()) {
            writeRect(out, c.pixels());
            out.value(c.visible);
            out.value(c.enabled);
            out.value(language == Language::Japanese ? c.text : shownText(language, c.text));
            out.value(c.picture);
            out.value(c.min);
            out.value(c.max);
            out.value(c.value);
        }
        out.endArray();
    }
    out.endArray();
    out.key("drawings");
    out.beginArray();
    for (const DrawnRect& r : s.drawings()) {
        out.beginArray();
        writeRect(out, spanPixels(r.x1, r.y1, r.x2, r.y2));
        out.value(static_cast<int64_t>(r.colour));
        out.endArray();
    }
    out.endArray();
    out.endObject();
}

void writeFont(JsonWriter& out, std::string_view name, const std::optional<Font>& font) {
    out.key(name);
    if (!font) {
        out.null();
        return;
    }
    out.beginObject();
    out.field("family", font->family);
    out.field("points", font->points);
    out.field("bold", font->bold);
    out.field("underline", font->underline);
    out.endObject();
}

void writeColour(JsonWriter& out, std::string_view name, const std::optional<Colour>& colour) {
    out.key(name);
    if (colour)
        out.value(static_cast<int64_t>(*colour));
    else
        out.null();
}

void writeLayout(JsonWriter& out, const ScreenLayout& l, Language language) {
    out.beginObject();
    out.field("form", static_cast<int>(l.id));
    out.field("name", l.formName);
    out.field("caption", shownText(language, l.caption));
    const PixelRect client = l.clientPixels();
    out.field("left", client.x);
    out.field("top", client.y);
    out.field("width", client.width);
    out.field("height", client.height);
    writeColour(out, "background", l.background);
    writeFont(out, "font", l.screenFont);
    out.field("icon", l.icon);
    out.field("shown", l.everShown);
    out.field("keysDrivePlay", l.playedByKeys);
    out.field("takesKeys", l.takesKeys);
    out.field("upper", l.stackedUnder ? static_cast<int>(*l.stackedUnder) : -1);
    out.key("controls");
    out.beginArray();
    for (const Control& c : l.controls) {
        out.beginObject();
        static constexpr std::string_view kKinds[] = {"button", "label",      "textbox",     "image", "shape",
                                                      "line",   "picturebox", "progressbar", "timer"};
        out.field("kind", kKinds[static_cast<int>(c.kind)]);
        out.field("name", c.name);
        out.field("index", c.index);
        out.field("key", c.key());
        writeFont(out, "font", c.font);
        writeColour(out, "fore", c.foreColour);
        writeColour(out, "back", c.backColour);
        writeColour(out, "fill", c.fillColour);
        writeColour(out, "edge", c.borderColour);
        out.field("enabled", c.enabled);
        out.field("transparent", c.transparent);
        out.field("border", c.border);
        out.field("centred", c.centred);
        out.field("tabOrder", c.tabOrder);
        out.field("focus", c.hasFocusAtOpen);
        out.field("arrow", c.arrowPointer);
        out.field("multiLine", c.multiLine);
        out.field("scrollBar", c.scrollBar);
        out.field("stretch", c.stretch);
        out.field("lineWidth", c.lineWidthPx);
        out.field("container", c.container);
        out.endObject();
    }
    out.endArray();
    out.endObject();
}

void writeKeys(JsonWriter& out, std::string_view name, ControlKind kind) {
    out.key(name);
    out.beginArray();
    for (int code = 0; code <= kMaxKeyCode; ++code)
        if (isGameKey(code) && controlKeepsKey(kind, code))
            out.value(code);
    out.endArray();
}

}  // namespace

std::string viewJson(const script::Play& play, int helpRequests, Language language) {
    const Game& game = play.game();
    JsonWriter out;
    out.beginObject();
    out.field("ended", game.ended());
    out.field("help", helpRequests);
    out.field("helpSection", game.screens().helpSection());
    out.field("atStart", game.screens().atStart());
    out.field("replaying", play.watching());
    out.field("replayOver", play.replayStopped().has_value());
    out.field("replayStop", play.replayStopped() ? play.replayStopped()->message() : std::string());
    const Screen* keys = game.ended() ? nullptr : game.screens().keyScreen();
    out.field("keys", keys ? static_cast<int>(keys->id()) : -1);
    out.key("screens");
    out.beginArray();
    for (int f = 0; f < kFormCount && !game.ended(); ++f)
        if (const Screen* s = game.screens().loaded(static_cast<FormId>(f)); s && s->visible())
            writeScreen(out, *s, language);
    out.endArray();
    out.endObject();
    return out.str();
}

std::string factsJson(Language language) {
    JsonWriter out;
    out.beginObject();
    out.key("screens");
    out.beginArray();
    for (int f = 0; f < kFormCount; ++f) writeLayout(out, layoutOf(static_cast<FormId>(f)), language);
    out.endArray();
    out.key("pictures");
    out.beginObject();
    for (const PictureInfo& p : kPictures) {
        out.key(p.name);
        out.beginArray();
        out.value(p.widthPx);
        out.value(p.heightPx);
        out.endArray();
    }
    out.endObject();
    out.key("keys");
    out.beginArray();
    for (int code = 0; code <= kMaxKeyCode; ++code)
        if (isGameKey(code))
            out.value(code);
    out.endArray();
    out.key("keptBy");
    out.beginObject();
    writeKeys(out, "button", ControlKind::Button);
    writeKeys(out, "textbox", ControlKind::TextBox);
    out.endObject();
    out.field("f1", kKeyF1);
    out.field("f2", kKeyF2);
    out.endObject();
    return out.str();
}

std::string bookViewJson(const book::CatchBook& book, Language language) {
    const book::BookTexts texts = book::bookTexts(book, language);
    JsonWriter out;
    out.beginObject();
    out.field("title", texts.title);
    out.arrayField("totals", texts.totals);
    out.key("rows");
    out.beginArray();
    for (const book::BookTexts::Row& row : texts.rows) {
        out.beginObject();
        out.field("landed", row.landed);
        out.field("name", row.name);
        out.arrayField("records", row.records);
        out.endObject();
    }
    out.endArray();
    out.endObject();
    return out.str();
}

}  // namespace mogumo
