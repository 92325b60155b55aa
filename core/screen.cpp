#include "core/screen.h"

#include <algorithm>
#include <stdexcept>

#include "core/screen_set.h"

namespace mogumo {

Screen::Screen(ScreenSet& screens, FormId id)
    : screens_(screens),
      id_(id),
      enabled_(layoutOf(id).enabled),
      controlCount_(layoutOf(id).controls.size()),
      controls_(std::make_unique<Control[]>(controlCount_)) {
    std::copy(layoutOf(id).controls.begin(), layoutOf(id).controls.end(), controls_.get());
}

Control* Screen::find(std::string_view name, int index) {
    for (Control& c : controls())
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
    throw std::logic_error("no control " + key + " on " + std::string(layout().formName));
}

GameState& Screen::state() {
    return screens_.state();
}

void Screen::setTimer(Control& timer, bool running) {
    if (timer.enabled == running)
        return;
    timer.enabled = running;
    // An unloaded screen's timers are gone for the host; only the flag moves.
    if (screens_.loaded(id_) != this)
        return;
    if (running)
        screens_.host().timerStarted(*this, timer);
    else
        screens_.host().timerStopped(*this, timer);
}

}  // namespace mogumo
