#pragma once

#include <QWidget>
#include <functional>

namespace mogumo {

// A window beside the game (the help, the catch book): it opens over the game
// window being played, Esc puts it away as its close box does, and it tells
// when it goes so that the keys return to the screen being played.
class SideWindow : public QWidget {
public:
    // `closeKey`, when not 0, puts it away as Esc does (the key that opened it).
    explicit SideWindow(int closeKey = 0) : QWidget(nullptr, Qt::Window), closeKey_(closeKey) {}

    // Called whenever the window goes away (its key, Esc, its close box, the
    // game's end).
    void setOnClosed(std::function<void()> onClosed) { onClosed_ = std::move(onClosed); }

    // Moves `w` to the middle of `over` (the game window being played), kept
    // on the desktop; a window already up stays where the player left it.
    static void placeOver(QWidget& w, const QWidget* over);

protected:
    // Shows it over `over`, or where the window system puts it, with the keys.
    void showOver(const QWidget* over);
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int closeKey_;
    std::function<void()> onClosed_;
};

}  // namespace mogumo
