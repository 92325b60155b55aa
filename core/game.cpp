#include "core/game.h"

namespace mogumo {

namespace {
Host& quietHost() {
    static Host none;
    return none;
}
}  // namespace

std::string describe(Refusal refusal, std::string_view screen, std::string_view target) {
    const std::string t(target);
    switch (refusal) {
        case Refusal::Ended: return "the program has ended";
        case Refusal::NotLoaded: return std::string(screen) + " is not loaded";
        case Refusal::NotVisible: return t + ": the screen is not visible";
        case Refusal::Disabled: return t + ": the screen is disabled";
        case Refusal::NoControl: return "no control " + t;
        case Refusal::NotAButton: return t + " is not a button";
        case Refusal::ButtonOff: return t + " is hidden or disabled";
        case Refusal::NoTimer: return "no timer " + t;
        case Refusal::TimerNotRunning: return "timer " + t + " is not running";
    }
    return "refused";
}

Game::Game(ScreenSet::Factory factory, uint32_t clockStart, Host* host)
    : host_(host ? *host : quietHost()),
      timers_({[this] { return screens_.state().LastTick; }, [this] { return screens_.ended(); }}, clockStart,
              [this](Screen& s, Control& t) { deliverTick(s, t); }),
      screens_(host_, std::move(factory), timers_) {}

std::optional<Refusal> Game::refusesInput(FormId form) const {
    if (ended())
        return Refusal::Ended;
    const Screen* s = screens_.loaded(form);
    if (!s)
        return Refusal::NotLoaded;
    if (!s->visible())
        return Refusal::NotVisible;
    if (!s->enabled())
        return Refusal::Disabled;
    return std::nullopt;
}

std::optional<Refusal> Game::refusesClick(FormId form, std::string_view control, int index) const {
    if (auto refusal = refusesInput(form))
        return refusal;
    const Control* button = screens_.loaded(form)->find(control, index);
    if (!button)
        return Refusal::NoControl;
    if (button->kind != ControlKind::Button)
        return Refusal::NotAButton;
    if (!button->visible || !button->enabled)
        return Refusal::ButtonOff;
    return std::nullopt;
}

std::optional<Refusal> Game::input(const Input& in) {
    if (auto refusal =
            in.kind == InputKind::Click ? refusesClick(in.form, in.control, in.index) : refusesInput(in.form))
        return refusal;
    Screen& s = *screens_.loaded(in.form);
    host_.inputTaken(in);
    switch (in.kind) {
        case InputKind::Click: screens_.click(s, *s.find(in.control, in.index)); break;
        case InputKind::KeyDown: screens_.keyDown(s, in.key); break;
        case InputKind::KeyUp: screens_.keyUp(s, in.key); break;
        case InputKind::Close: screens_.close(s); break;
    }
    return std::nullopt;
}

std::optional<Refusal> Game::tick(FormId form, std::string_view timer, int index) {
    if (ended())
        return Refusal::Ended;
    Screen* s = screens_.loaded(form);
    if (!s)
        return Refusal::NotLoaded;
    Control* t = s->find(timer, index);
    if (!t || !t->isTimer())
        return Refusal::NoTimer;
    if (!timers_.isRunning(*s, *t))
        return Refusal::TimerNotRunning;
    deliverTick(*s, *t);
    return std::nullopt;
}

void Game::deliverTick(Screen& screen, Control& timer) {
    if (beforeTick)
        beforeTick(screen, timer);
    screens_.timerTick(screen, timer);
    if (afterTick)
        afterTick();
}

}  // namespace mogumo
