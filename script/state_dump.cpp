#include "script/state_dump.h"

namespace mogumo {

std::string stateDump(const Game& game) {
    JsonWriter out;
    writeStateDump(game, out);
    return out.str();
}

void writeStateDump(const Game& game, JsonWriter& out) {
    const ScreenSet& screens = game.screens();
    const uint32_t now = game.tickCount();
    out.clear();
    out.beginObject();
    // After the end only the clock is left to tell.
    if (screens.ended()) {
        out.field("ended", true);
        out.field("t", now);
        out.endObject();
        return;
    }
    out.field("t", now);
    out.field("ended", false);
    out.field("random_draws", static_cast<int64_t>(screens.random().draws()));
    out.field("help_shown", game.helpRequests());

    const GameState& s = screens.state();
    out.key("state");
    out.beginObject();
    out.field("SpotIndex", s.SpotIndex);
    out.field("SpotSize", s.SpotSize);
    out.field("SpeciesCount", s.SpeciesCount);
    out.field("PlayerLife", s.PlayerLife);
    out.field("SpotName", s.SpotName);
    out.field("NewLine", s.NewLine);
    out.field("AnimFrame", s.AnimFrame);
    out.field("LureDistance", s.LureDistance);
    out.field("ReelSpeed", s.ReelSpeed);
    out.field("FishInterest", s.FishInterest);
    out.field("SecretPoints", s.SecretPoints);
    out.field("BoostUses", s.BoostUses);
    out.field("SpeciesIndex", s.SpeciesIndex);
    out.field("FishWeight", s.FishWeight);
    out.field("FishLength", s.FishLength);
    out.field("FishName", s.FishName);
    out.arrayField("CatchLog", s.CatchLog);
    out.arrayField("CatchTotals", s.CatchTotals);
    out.field("LastTick", s.LastTick);
    out.endObject();

    out.key("screens");
    out.beginObject();
    for (int f = 0; f < kFormCount; ++f) {
        const Screen* screen = screens.loaded(static_cast<FormId>(f));
        if (!screen)
            continue;
        out.key(screen->layout().formName);
        out.beginObject();
        out.field("visible", screen->visible());
        out.field("enabled", screen->enabled());
        out.key("vars");
        out.beginObject();
        screen->writeVars(out);
        out.endObject();
        out.key("controls");
        out.beginObject();
        for (const Control& c : screen->controls()) {
            out.key(c.key());
            out.beginObject();
            auto box = [&] {
                out.field("left", c.left);
                out.field("top", c.top);
                out.field("width", c.width);
                out.field("height", c.height);
            };
            switch (c.kind) {
                case ControlKind::Button:
                    out.field("kind", "button");
                    out.field("caption", c.text);
                    box();
                    out.field("visible", c.visible);
                    out.field("enabled", c.enabled);
                    break;
                case ControlKind::Label:
                    out.field("kind", "label");
                    out.field("caption", c.text);
                    box();
                    out.field("visible", c.visible);
                    break;
                case ControlKind::TextBox:
                    out.field("kind", "textbox");
                    out.field("text", c.text);
                    box();
                    out.field("enabled", c.enabled);
                    break;
                case ControlKind::Image:
                    out.field("kind", "image");
                    out.key("picture");
                    if (c.picture.empty())
                        out.null();
                    else
                        out.value(c.picture);
                    box();
                    out.field("visible", c.visible);
                    out.field("enabled", c.enabled);
                    break;
                case ControlKind::Shape:
                    out.field("kind", "shape");
                    box();
                    break;
                case ControlKind::Line:
                    out.field("kind", "line");
                    out.field("x1", c.x1);
                    out.field("y1", c.y1);
                    out.field("x2", c.x2);
                    out.field("y2", c.y2);
                    break;
                case ControlKind::PictureBox:
                    out.field("kind", "picturebox");
                    box();
                    break;
                case ControlKind::ProgressBar:
                    out.field("kind", "progressbar");
                    out.field("min", c.min);
                    out.field("max", c.max);
                    out.field("value", c.value);
                    box();
                    break;
                case ControlKind::Timer:
                    out.field("kind", "timer");
                    out.field("interval", c.interval);
                    out.field("enabled", c.enabled);
                    break;
            }
            out.endObject();
        }
        out.endObject();
        out.endObject();
    }
    out.endObject();
    out.endObject();
}

}  // namespace mogumo
