#pragma once

#include <QWidget>

namespace mogumo {

// A progress bar showing value / max as a filled share from the left. The
// values are fractional, so it keeps floats rather than QProgressBar's ints.
class ProgressWidget : public QWidget {
public:
    explicit ProgressWidget(QWidget* parent);

    void setRange(float min, float max);
    void setValue(float value);
    float value() const { return value_; }
    // The filled share, 0 to 1.
    double share() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace mogumo
