#pragma once

#include <QPushButton>

namespace mogumo {

// A screen's push button as a Windows player knows it: the focused button
// wears a dotted focus mark, and Return presses it at once, as Space does
// when it is let go.
class GameButton : public QPushButton {
public:
    explicit GameButton(QWidget* parent) : QPushButton(parent) { setAutoDefault(false); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the caption lies, as the button's style centres it.
    QRect captionRect() const;
};

}  // namespace mogumo
