// The simulated desktop's ANSI code page: Windows-1252, as Wine and an English Windows have it
// (tests/contract proves it against the real one). Where the real conversion picks a look-alike
// for a character 1252 lacks (best fit: U+0100 becomes 'A'), this one gives '?'.
#include <array>

#include "host/text.h"

namespace host {
namespace {

// 0x80-0x9F. The five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// code point of the same value, as Windows converts them.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char ToByte(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string ToAnsi(const Text& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Each UTF-16 unit on its own, as the real conversion does: a character outside the basic
    // plane becomes two default characters.
    out.push_back(ToByte(text[i]));
  }
  return out;
}

Text FromAnsi(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    auto u = static_cast<unsigned char>(b);
    out.push_back(u >= 0x80 && u < 0xA0 ? kHigh[u - 0x80] : static_cast<char16_t>(u));
  }
  return out;
}

}  // namespace host
