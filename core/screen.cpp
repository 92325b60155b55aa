#include "core/screen.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/screen_set.h"

namespace mogumo {

Screen::Screen(ScreenSet& screens, const ScreenLayout& layout)
    : screens_(screens),
      layout_(layout),
      enabled_(layout.enabled),
      controlCount_(layout.controls.size()),
      controls_(std::make_unique<Control[]>(controlCount_)) {
    std::copy(layout.controls.begin(), layout.controls.end(), controls_.get());
}

Control* Screen::find(std::string_view name, int index) {
    return const_cast<Control*>(std::as_const(*this).find(name, index));
}

const Control* Screen::find(std::string_view name, int index) const {
    for (const Control& c : controls())
        if (c.name == name && c.index == index)
            return &c;
    return nullptr;
}

Control& Screen::ctl(std::string_view name, int index) {
    if (Control* c = find(name, index))
        return *c;
    std::string key(name);
    if (index >= 0)
        key += "(" + std::to_string(index) + ")";
    throw std::logic_error("no control " + key + " on " + std::string(layout_.formName));
}

GameState& Screen::state() {
    return screens_.state();
}

void Screen::setTimer(Control& timer, bool running) {
    if (timer.enabled == running)
        return;
    timer.enabled = running;
    // An unloaded screen's timers are gone from the schedule; only the flag moves.
    if (screens_.loaded(id()) == this)
        screens_.timerSwitched(*this, timer);
}

void Screen::call(const Control& control) {
    for (const auto& [target, handler] : handlers_)
        if (target == &control) {
            handler();
            return;
        }
}

}  // namespace mogumo
