#pragma once

#include <QWidget>
#include <vector>

#include "core/control.h"

namespace mogumo {

class ScreenPainter;

// A picture box: a child window with its own background that paints the
// shapes placed inside it, relative to its corner.
class PictureBoxWidget : public QWidget {
public:
    PictureBoxWidget(const ScreenPainter& painter, QWidget* parent);

    // Takes the box's colour and the controls inside it; repaints on change.
    void sync(const Control& box, const std::vector<const Control*>& inside);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ScreenPainter& painter_;
    Colour background_ = 0x00FFFFFF;
    std::vector<Control> inside_;
};

}  // namespace mogumo
