#pragma once

// A recorded game replays bit for bit only when every float operation is
// plain IEEE 754 single precision, rounded once. Checked here at compile time
// as far as the compiler tells; the build adds -ffp-contract=off, which no
// macro reports.

#include <cfloat>
#include <limits>

static_assert(std::numeric_limits<float>::is_iec559, "float must be IEEE 754 single precision");
static_assert(FLT_EVAL_METHOD == 0, "float expressions must be evaluated in float, without excess precision");

#if defined(__FAST_MATH__)
#error "Mogumo must not be built with -ffast-math: replays would drift"
#endif
