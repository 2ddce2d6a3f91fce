// JPEG pictures decoded once with the Windows Imaging Component into a GDI bitmap.
#pragma once

#include <windows.h>

#include <cstddef>

#include "host/win32/raii.h"

namespace host::win32 {

struct Picture {
  UniqueBitmap bitmap;  // a 32-bit top-down DIB section; null when there is none
  int width = 0;
  int height = 0;
  explicit operator bool() const { return bitmap != nullptr; }
};

// Any image format WIC reads; an empty picture when the bytes do not decode.
Picture DecodePicture(const void* data, std::size_t size);
// The RCDATA resource `id` of the program's own module; empty when absent or undecodable.
Picture LoadPictureResource(int id);

}  // namespace host::win32
