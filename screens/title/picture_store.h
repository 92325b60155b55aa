#pragma once

#include "core/screen.h"

namespace mogumo {

// Form2: never shown; holds the angler pictures `kao` and the waves `nami`
// that the other screens copy.
class PictureStore : public Screen {
public:
    static constexpr FormId kId = FormId::Form2;
    static constexpr int kSwapPoints = 20;
    explicit PictureStore(ScreenSet& screens);

    void Form_Load() override { aaa(); }

    // From 20 SecretPoints on, kao(0..6) take the pictures of kao(7..13).
    // It copies and never moves, so running it again changes nothing.
    void aaa();

    std::string_view kao(int i) { return ctl("kao", i).picture; }
    std::string_view nami(int i) { return ctl("nami", i).picture; }
};

}  // namespace mogumo
