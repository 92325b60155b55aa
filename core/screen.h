#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
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
class Screen {
public:
    Screen(ScreenSet& screens, FormId id);
    virtual ~Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    FormId id() const { return id_; }
    const ScreenLayout& layout() const { return layoutOf(id_); }
    uint64_t instance() const { return instance_; }

    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }

    // The controls of the layout, in its order. Their number is fixed when the
    // screen loads, so a reference to a control stays good for the screen's life.
    std::span<Control> controls() { return {controls_.get(), controlCount_}; }
    std::span<const Control> controls() const { return {controls_.get(), controlCount_}; }
    // nullptr when the screen has no such control.
    Control* find(std::string_view name, int index = -1);
    // The control by name; it must exist in the layout (std::logic_error
    // otherwise: the code and its layout disagree).
    Control& ctl(std::string_view name, int index = -1);

    const std::vector<DrawnRect>& drawings() const { return drawings_; }

    // Starts or stops a timer; the host hears of it. Starting a running timer
    // changes nothing (it keeps its phase).
    void setTimer(Control& timer, bool running);

    // Handlers. The default for each is to do nothing.
    virtual void Form_Load() {}
    virtual void click(Control&) {}
    virtual void Form_KeyDown(int /*keyCode*/) {}
    virtual void Form_KeyUp(int /*keyCode*/) {}
    virtual void timerTick(Control&) {}

    // The screen's private variables for the state dump.
    virtual void writeVars(JsonWriter&) const {}

protected:
    ScreenSet& screens() { return screens_; }
    GameState& state();
    void drawRect(const DrawnRect& r) { drawings_.push_back(r); }

private:
    friend class ScreenSet;
    ScreenSet& screens_;
    FormId id_;
    uint64_t instance_ = 0;
    bool visible_ = false;
    bool enabled_ = true;
    size_t controlCount_;
    std::unique_ptr<Control[]> controls_;
    std::vector<DrawnRect> drawings_;
};

}  // namespace mogumo
