// Pictures decoded once with the Windows Imaging Component into a top-down DIB section,
// scaled once to the screen's dots per inch so that a picture keeps its size in twips.
#pragma once

#include <windows.h>

#include <cstddef>

#include "winsupport/owners.h"

namespace winsupport {

// The pictures are made for 96 dpi (15 twips per pixel), where they are drawn as they are.
inline constexpr int kPictureDpi = 96;

struct Picture {
  UniqueBitmap bitmap;  // a 32-bit top-down DIB section; null when there is none
  int width = 0;
  int height = 0;
  explicit operator bool() const { return bitmap != nullptr; }
};

// How many pixels `pixels` picture pixels at 96 dpi span at `dpi`, to the nearest pixel
// (halves up): the rounding the forms' twips get, so a picture ends where its window does.
constexpr int ScaledPictureSize(int pixels, int dpi) {
  if (pixels <= 0 || dpi <= 0) return pixels;
  long long scaled = (static_cast<long long>(pixels) * dpi + kPictureDpi / 2) / kPictureDpi;
  return scaled < 1 ? 1 : static_cast<int>(scaled);
}

// A 32-bit DIB section whose rows run top down, as WIC copies them; its pixels at *bits.
// Null when it cannot be made.
UniqueBitmap TopDownDib(int width, int height, void** bits);

// Any image format WIC reads, scaled by dpiX / 96 across and dpiY / 96 down; at 96 dpi the
// decoded pixels themselves. An empty picture when the bytes do not decode.
Picture DecodePicture(const void* data, std::size_t size, int dpiX = kPictureDpi,
                      int dpiY = kPictureDpi);
// The RCDATA resource `id` of the program's own module, scaled as above; empty when absent
// or undecodable.
Picture LoadPictureResource(int id, int dpiX = kPictureDpi, int dpiY = kPictureDpi);

}  // namespace winsupport
