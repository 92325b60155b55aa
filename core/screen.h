#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "core/control.h"
#include "core/layout.h"

namespace mogumo {

class ScreenSet;
struct GameState;
class JsonWriter;

// A rectangle drawn on a window's own surface (the bite transition), in twips.
struct DrawnRect {
    float x1, y1, x2, y2;
    Colour colour;
};

// One screen: its controls (created from its layout), its private variables
// and its event handlers. Screens are created and destroyed only by ScreenSet.
//
// A screen registers its click and timer handlers in its constructor, under
// the game's own names (`Command1_Click`, `Timer1_Timer`); the runtime calls
// the one registered for the control.
class Screen {
public:
    using Handler = std::function<void()>;

    Screen(ScreenSet& screens, const ScreenLayout& layout);
    virtual ~Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    FormId id() const { return layout_.id; }
    const ScreenLayout& layout() const { return layout_; }
    uint64_t instance() const { return instance_; }

    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    // Whether it is the screen being played, whose window has the keyboard:
    // shown, enabled and one that takes keys.
    bool playable() const { return visible_ && enabled_ && layout_.takesKeys; }

    // The controls of the layout, in its order. Their number is fixed when the
    // screen loads, so a reference to a control stays good for the screen's life.
    std::span<Control> controls() { return {controls_.get(), controlCount_}; }
    std::span<const Control> controls() const { return {controls_.get(), controlCount_}; }
    // nullptr when the screen has no such control.
    Control* find(std::string_view name, int index = -1);
    const Control* find(std::string_view name, int index = -1) const;
    // The control by name; it must exist in the layout (std::logic_error
    // otherwise: the code and its layout disagree).
    Control& ctl(std::string_view name, int index = -1);

    const std::vector<DrawnRect>& drawings() const { return drawings_; }

    // Starts or stops a timer. Starting a running timer changes nothing (it
    // keeps its phase).
    void setTimer(Control& timer, bool running);

    // The handlers the runtime calls. A control with no handler of its own
    // does nothing, and so does a screen's key handling by default.
    void click(Control& button) { call(button); }
    void timerTick(Control& timer) { call(timer); }
    virtual void Form_Load() {}
    virtual void Form_KeyDown(int /*keyCode*/) {}
    virtual void Form_KeyUp(int /*keyCode*/) {}

    // The screen's private variables for the state dump.
    virtual void writeVars(JsonWriter&) const {}

protected:
    ScreenSet& screens() { return screens_; }
    GameState& state();
    void drawRect(const DrawnRect& r) { drawings_.push_back(r); }
    // What a click on `button`, or a tick of `timer`, runs.
    void on(Control& control, Handler handler) { handlers_.emplace_back(&control, std::move(handler)); }

private:
    friend class ScreenSet;
    void call(const Control& control);

    ScreenSet& screens_;
    const ScreenLayout& layout_;
    uint64_t instance_ = 0;
    bool visible_ = false;
    bool enabled_ = true;
    size_t controlCount_;
    std::unique_ptr<Control[]> controls_;
    std::vector<DrawnRect> drawings_;
    std::vector<std::pair<const Control*, Handler>> handlers_;
};

}  // namespace mogumo
