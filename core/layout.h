#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/control.h"

namespace mogumo {

enum class FormId : int { Form1 = 0, Form2, Form3, Form4, Form5, Form6, Form7, Form8 };
inline constexpr int kFormCount = 8;

// The fixed design of one screen: its window and its controls, front to back.
struct ScreenLayout {
    FormId id;
    std::string_view formName;  // "Form1" ...
    std::string_view caption;
    int clientLeft, clientTop;  // twips from the desktop's top-left corner
    int clientWidth, clientHeight;
    std::optional<Colour> background;
    std::optional<Font> screenFont;
    std::string_view icon;  // picture name, empty for the default icon
    bool enabled = true;
    std::vector<Control> controls;
};

// The layouts of the eight screens (ui/layouts).
const ScreenLayout& layoutOf(FormId id);

// "Form1" ... "Form8"; nullopt for any other name.
std::optional<FormId> formByName(std::string_view name);

}  // namespace mogumo
