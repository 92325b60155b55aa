#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/float_rules.h"

namespace mogumo {

// Twips: 1/1440 inch, 15 to a pixel at 96 dpi.
inline constexpr float kTwipsPerPixel = 15.0f;

// A rectangle in whole pixels.
struct PixelRect {
    int x, y, width, height;
};

// Twips to the nearest pixel, as every host rounds them.
inline int toPixels(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
// The pixels from one corner to the other, both included, the corners in
// either order (a drawn rectangle, the box of a line).
inline PixelRect spanPixels(float x1, float y1, float x2, float y2) {
    const int left = toPixels(std::min(x1, x2)), top = toPixels(std::min(y1, y2));
    return {left, top, toPixels(std::max(x1, x2)) - left + 1, toPixels(std::max(y1, y2)) - top + 1};
}

enum class ControlKind : uint8_t {
    Button,
    Label,
    TextBox,
    Image,
    Shape,
    Line,
    PictureBox,
    ProgressBar,
    Timer,
};

// Colours are &H00BBGGRR values: red in the low byte.
using Colour = uint32_t;

struct Font {
    std::string_view family;
    float points = 9.0f;
    bool bold = false;
    bool underline = false;

    bool operator==(const Font&) const = default;
};

// One control of a screen: a plain value with the properties its kind uses.
// Positions and sizes are single-precision twips, relative to the client area
// (or to `container` for a control inside a picture box).
struct Control {
    ControlKind kind = ControlKind::Label;
    std::string_view name;
    int index = -1;  // member of a control array when >= 0

    float left = 0, top = 0, width = 0, height = 0;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // lines
    int lineWidthPx = 1;

    std::string text;  // caption of buttons and labels, text of text boxes
    bool visible = true;
    bool enabled = true;  // for timers: running

    std::optional<Colour> foreColour;
    std::optional<Colour> backColour;  // labels, picture boxes
    std::optional<Colour> fillColour;  // shapes
    std::optional<Colour> borderColour;
    bool transparent = false;  // labels: the surface below shows through
    bool border = false;       // single-line border
    bool centred = false;
    std::optional<Font> font;

    int tabOrder = -1;
    bool hasFocusAtOpen = false;
    bool arrowPointer = false;
    bool multiLine = false;
    bool scrollBar = false;
    bool readOnly = false;

    std::string_view picture;  // catalogue name, empty for none
    bool stretch = false;

    float min = 0, max = 0, value = 0;  // progress bars

    int interval = 0;    // timers, milliseconds
    bool gated = false;  // its ticks pass the step gate before the handler runs

    std::string_view container;  // name of the picture box holding it

    bool isTimer() const { return kind == ControlKind::Timer; }
    // Drawn by the window itself rather than being a child widget.
    bool isWindowless() const {
        return kind == ControlKind::Label || kind == ControlKind::Image || kind == ControlKind::Shape ||
               kind == ControlKind::Line;
    }
    // "Command1(0)" for array members, the plain name otherwise.
    std::string key() const;
    // Its rectangle in pixels: each edge rounded, so neighbours meet.
    PixelRect pixels() const {
        const int l = toPixels(left), t = toPixels(top);
        return {l, t, toPixels(left + width) - l, toPixels(top + height) - t};
    }

    // Every field, so that a field added later cannot be forgotten.
    bool operator==(const Control&) const = default;
};

// Gives an image a picture. An image that is not stretched takes its picture's
// size plus its border (2 pixels a side).
void setPicture(Control& image, std::string_view picture);

}  // namespace mogumo
