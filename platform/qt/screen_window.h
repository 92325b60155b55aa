#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/control.h"
#include "core/layout.h"
#include "platform/qt/key_map.h"
#include "platform/qt/screen_painter.h"
#include "ui/layouts/layouts.h"

namespace mogumo {

class PictureCache;
class Screen;

// The window of one shown screen: client area, caption, colour and icon from
// the layout; windowless controls painted by the window, the others as child
// widgets above them. It reads its screen and never changes it: clicks, keys
// and the close box go out through the callbacks.
class ScreenWindow : public QWidget {
public:
    struct Callbacks {
        std::function<void(ScreenWindow&, const Control&)> click;
        std::function<void(ScreenWindow&, KeyMap::Action, int code)> key;
        std::function<void(ScreenWindow&)> close;
    };

    // Its texts are shown in `language`; the screen's own stay as written.
    ScreenWindow(const Screen& screen, const PictureCache& pictures, Callbacks callbacks,
                 Language language = Language::Japanese);
    ~ScreenWindow() override;

    FormId form() const { return form_; }
    uint64_t instance() const { return instance_; }
    const Screen* screen() const { return screen_; }

    // Brings the window in line with its screen; repaints only what changed.
    void sync();
    // Gives the focus to the control the screen opens with.
    void focusAtOpen();
    // The screen is gone: the window takes no more input and follows it no
    // more; it stays on the screen until it is hidden.
    void detach();
    // Whether the window has been painted since it was shown, and what to do
    // once it first has been.
    bool hasBeenPainted() const { return paintedOnce_; }
    void whenFirstPainted(std::function<void()> then);

    // The child widget of a control (nullptr for windowless ones).
    QWidget* widgetOf(std::string_view name, int index = -1) const;

    // Whether the screen is played with the keyboard: none of its controls
    // takes the focus, so every key reaches the window.
    static bool keysDrivePlay(FormId form) { return layoutOf(form).playedByKeys; }
    // Whether the window may ever have the keyboard; the battle splash never.
    static bool takesKeys(FormId form) { return layoutOf(form).takesKeys; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Child {
        size_t index;  // position in the screen's controls
        QWidget* widget;
        std::optional<std::string> text;  // a button's or text box's text (as written) last shown
    };

    // Whether the window system must not give this window the keyboard: the
    // splash never, a disabled screen while it is disabled.
    static bool refusesFocus(FormId form, bool enabled);
    void createChildren();
    void syncChild(Child& child, const Control& c);
    void deliverKey(QKeyEvent* event);

    const Screen* screen_;
    FormId form_;
    uint64_t instance_;
    ScreenPainter painter_;
    Callbacks callbacks_;
    std::vector<Child> children_;
    std::vector<Control> painted_;  // the windowless controls as last painted
    size_t drawingsPainted_ = 0;
    bool paintedOnce_ = false;
    std::function<void()> firstPainted_;
};

}  // namespace mogumo
