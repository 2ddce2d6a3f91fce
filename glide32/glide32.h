// Module Glide32: placing the splash window a little above the middle of the screen.
#pragma once

#include "host/runtime.h"

namespace Glide32 {

// Centres the window horizontally with its vertical centre at 42.5% of the screen's height.
// Nothing is clamped. Throws std::domain_error when the arithmetic fails (a size that is
// not a number or infinite), leaving the coordinate not yet set unchanged.
void PlaceSplash(host::Form& window);

}  // namespace Glide32
