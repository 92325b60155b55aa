#include "core/screen_set.h"

#include <algorithm>
#include <utility>

#include "core/keys.h"
#include "core/step_gate.h"

namespace mogumo {

ScreenSet::ScreenSet(Host& host, Factory factory, TimerScheduler& timers)
    : host_(host), factory_(std::move(factory)), timers_(timers) {}

ScreenSet::~ScreenSet() = default;

uint32_t ScreenSet::tickCount() const {
    return timers_.tickCount();
}

Screen& ScreenSet::ref(FormId id) {
    auto& slot = screens_[static_cast<size_t>(id)];
    if (slot)
        return *slot;
    slot = factory_(*this, id);
    Screen& screen = *slot;
    screen.instance_ = nextInstance_++;
    for (Control& c : screen.controls())
        if (c.isTimer() && c.enabled)
            timers_.started(screen, c);
    screen.Form_Load();
    return screen;
}

const Screen* ScreenSet::keyScreen() const {
    for (const auto& s : screens_)
        if (s && s->playable())
            return s.get();
    return nullptr;
}

std::string_view ScreenSet::helpSection() const {
    const Screen* s = keyScreen();
    return s ? s->layout().helpSection : kHelpContents;
}

void ScreenSet::show(FormId id) {
    Screen& screen = ref(id);
    if (screen.visible_)
        return;
    screen.visible_ = true;
    host_.screenShown(screen);
}

void ScreenSet::unload(FormId id) {
    auto& slot = screens_[static_cast<size_t>(id)];
    if (!slot)
        return;
    std::unique_ptr<Screen> gone = std::move(slot);
    gone->visible_ = false;
    for (Control& c : gone->controls())
        if (c.isTimer())
            c.enabled = false;
    timers_.screenGone(*gone);
    host_.screenUnloaded(*gone);
    // A handler of this screen may still be running: keep it alive until the
    // event is over. Outside any event nothing can be running on it.
    if (eventDepth_ > 0)
        unloadedThisEvent_.push_back(std::move(gone));
}

void ScreenSet::setEnabled(FormId id, bool enabled) {
    Screen& screen = ref(id);
    if (screen.enabled_ == enabled)
        return;
    screen.enabled_ = enabled;
    host_.screenEnabledChanged(screen);
}

void ScreenSet::end() {
    if (ended_)
        return;
    ended_ = true;
    host_.endProgram();
}

// Events may nest: a handler that waits in a nested event loop (a modal
// dialog, say) lets other events through. Screens unloaded on the way are
// freed only when the outermost event is over, and also when a handler
// throws, so neither a running handler nor the next event meets a dead one.
template <class F>
void ScreenSet::dispatch(F&& handler) {
    if (ended_)
        return;
    struct Depth {
        ScreenSet& set;
        explicit Depth(ScreenSet& s) : set(s) { ++set.eventDepth_; }
        ~Depth() {
            if (--set.eventDepth_ == 0)
                set.unloadedThisEvent_.clear();
        }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
    } depth(*this);
    handler();
}

namespace {
constexpr FormId kStartScreen = FormId::Form1;  // the title
}  // namespace

void ScreenSet::start() {
    dispatch([&] { show(kStartScreen); });
}

bool ScreenSet::atStart() const {
    return std::none_of(screens_.begin(), screens_.end(),
                        [](const auto& s) { return s && s->visible() && s->id() != kStartScreen; });
}

void ScreenSet::click(Screen& screen, Control& button) {
    dispatch([&] { screen.click(button); });
}

void ScreenSet::keyDown(Screen& screen, int keyCode) {
    dispatch([&] {
        if (keyCode == kKeyF1) {
            ++helpRequests_;
            host_.showHelp();
        } else
            screen.Form_KeyDown(keyCode);
    });
}

void ScreenSet::keyUp(Screen& screen, int keyCode) {
    dispatch([&] { screen.Form_KeyUp(keyCode); });
}

void ScreenSet::timerTick(Screen& screen, Control& timer) {
    dispatch([&] {
        if (!timer.gated || StepGate(state_, tickCount()))
            screen.timerTick(timer);
    });
}

void ScreenSet::timerSwitched(Screen& screen, Control& timer) {
    if (timer.enabled)
        timers_.started(screen, timer);
    else
        timers_.stopped(screen, timer);
}

void ScreenSet::close(Screen&) {
    dispatch([&] { end(); });
}

}  // namespace mogumo
