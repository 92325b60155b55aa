#include "screens/battle/species_catalogue.h"

#include "core/text.h"

namespace mogumo {

std::string catchLogLine(std::string_view name, int32_t weight, int32_t length) {
    const std::string padded = std::string(name) + "　　　　　　";
    return leftChars(padded, 7) + "/" + rightAscii("0000000" + std::to_string(weight), 8) + "/" +
           rightAscii("0000000" + std::to_string(length), 9);
}

}  // namespace mogumo
