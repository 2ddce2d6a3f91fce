// Placing the splash window: centred across, its middle at 42.5% of the screen's height.
#include <cmath>
#include <limits>
#include <stdexcept>

#include "glide32/glide32.h"

namespace Glide32 {
namespace {

// A coordinate that cannot be a window position (not a number, or beyond a float) is an
// error of the handler, not a position.
float Checked(double value) {
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
    throw std::domain_error("splash position out of range");
  }
  return static_cast<float>(value);
}

}  // namespace

void PlaceSplash(host::Form& window) {
  double height = window.Height();
  double screenHeight = host::ScreenHeight();
  window.SetTop(Checked(screenHeight * 0.85 / 2.0 - height / 2.0));
  double width = window.Width();
  double screenWidth = host::ScreenWidth();
  window.SetLeft(Checked(screenWidth / 2.0 - width / 2.0));
}

}  // namespace Glide32
