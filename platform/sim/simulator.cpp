#include "platform/sim/simulator.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

#include "core/json_writer.h"
#include "screens/screen_factory.h"

namespace mogumo {

Simulator::Simulator(uint32_t clock) : now_(clock), screens_(*this, makeScreen) {}

Simulator::~Simulator() = default;

void Simulator::start() {
    screens_.start();
}

void Simulator::timerStarted(Screen& screen, Control& timer) {
    timers_.push_back({screen.instance(), &screen, &timer, now_, nextOrder_++});
}

void Simulator::timerStopped(Screen& screen, Control& timer) {
    std::erase_if(
        timers_, [&](const RunningTimer& t) { return t.instance == screen.instance() && t.timer == &timer; });
}

void Simulator::screenUnloaded(Screen& screen) {
    std::erase_if(timers_, [&](const RunningTimer& t) { return t.instance == screen.instance(); });
}

bool Simulator::isRunning(const Screen& screen, const Control& timer) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const RunningTimer& t) {
        return t.instance == screen.instance() && t.timer == &timer;
    });
}

void Simulator::run(uint64_t ms) {
    const uint64_t end = now_ + ms;
    while (now_ < end && !ended()) {
        // Jump to the next millisecond at which some timer is due: nothing
        // changes in between, since only ticks start or stop timers.
        uint64_t next = end;
        for (const RunningTimer& t : timers_) {
            const auto interval = static_cast<uint64_t>(std::max(t.timer->interval, 1));
            const uint64_t k = (now_ + 1 - t.start + interval - 1) / interval;
            next = std::min(next, t.start + std::max<uint64_t>(k, 1) * interval);
        }
        now_ = next;
        dueNow_.clear();
        for (const RunningTimer& t : timers_) {
            const auto interval = static_cast<uint64_t>(std::max(t.timer->interval, 1));
            if (now_ > t.start && (now_ - t.start) % interval == 0)
                dueNow_.push_back(t);
        }
        // Timers are kept in the order they started. One that an earlier tick
        // stopped, or whose screen it unloaded, no longer ticks.
        for (const RunningTimer& due : dueNow_) {
            if (ended())
                break;
            const bool stillRunning = std::any_of(
                timers_.begin(), timers_.end(), [&](const RunningTimer& t) { return t.order == due.order; });
            if (stillRunning)
                screens_.timerTick(*due.screen, *due.timer);
        }
    }
    if (now_ < end)
        now_ = end;
}

std::string Simulator::dump() const {
    JsonWriter out;
    out.beginObject();
    out.field("t", now());
    out.field("ended", ended());
    if (ended()) {
        out.endObject();
        return out.str();
    }
    out.field("random_draws", static_cast<int64_t>(screens_.random().draws()));
    out.field("help_shown", helpShown_);

    const GameState& s = screens_.state();
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
    out.key("CatchLog");
    out.beginArray();
    for (const std::string& line : s.CatchLog) out.value(line);
    out.endArray();
    out.key("CatchTotals");
    out.beginArray();
    for (int32_t v : s.CatchTotals) out.value(v);
    out.endArray();
    out.field("LastTick", s.LastTick);
    out.endObject();

    out.key("screens");
    out.beginObject();
    for (int f = 0; f < kFormCount; ++f) {
        const Screen* screen = screens_.loaded(static_cast<FormId>(f));
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
    return out.str();
}

}  // namespace mogumo
