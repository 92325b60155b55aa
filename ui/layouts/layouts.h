#pragma once

#include <optional>
#include <string_view>

#include "core/layout.h"

namespace mogumo {

// The layouts of the eight screens.
const ScreenLayout& layoutOf(FormId id);

// "Form1" ... "Form8"; nullopt for any other name.
std::optional<FormId> formByName(std::string_view name);

}  // namespace mogumo
