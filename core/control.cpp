#include "core/control.h"

#include "core/pictures.h"

namespace mogumo {

std::string Control::key() const {
    std::string k(name);
    if (index >= 0)
        k += "(" + std::to_string(index) + ")";
    return k;
}

void setPicture(Control& image, std::string_view picture) {
    image.picture = picture;
    if (image.stretch || picture.empty())
        return;
    if (const PictureInfo* info = findPicture(picture)) {
        const float borderTwips = image.border ? 4 * kTwipsPerPixel : 0.0f;
        image.width = static_cast<float>(info->widthPx) * kTwipsPerPixel + borderTwips;
        image.height = static_cast<float>(info->heightPx) * kTwipsPerPixel + borderTwips;
    }
}

}  // namespace mogumo
