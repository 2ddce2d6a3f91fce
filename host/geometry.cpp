// Form geometry in twips over a window that stands at whole pixels: a position reads back
// exactly as it was set while the window still stands at the pixel it was rounded to, and as
// the window's own pixels once something else moved it (a drag).
#include "host/platform.h"

namespace host {
namespace {

float ReadBack(float set, int pixels, float twipsPerPixel) {
  if (ToPixels(set, twipsPerPixel) == pixels) return set;
  return ToTwips(pixels, twipsPerPixel);
}

}  // namespace

float Form::Top() const {
  if (!loaded_) return design_.top;
  return ReadBack(setTop_, WindowPixels(*this).top, TwipsPerPixelY());
}
float Form::Left() const {
  if (!loaded_) return design_.left;
  return ReadBack(setLeft_, WindowPixels(*this).left, TwipsPerPixelX());
}
float Form::Width() const {
  if (!loaded_) return design_.width;
  return ReadBack(design_.width, WindowPixels(*this).width, TwipsPerPixelX());
}
float Form::Height() const {
  if (!loaded_) return design_.height;
  return ReadBack(design_.height, WindowPixels(*this).height, TwipsPerPixelY());
}

void Form::SetTop(float twips) {
  if (!loaded_) {
    design_.top = twips;
    return;
  }
  setTop_ = twips;
  PlaceWindow(*this, Left(), twips);
}
void Form::SetLeft(float twips) {
  if (!loaded_) {
    design_.left = twips;
    return;
  }
  setLeft_ = twips;
  PlaceWindow(*this, twips, Top());
}

}  // namespace host
