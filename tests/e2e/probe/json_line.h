// One-line JSON answers of the probe: numbers, strings, arrays and objects, built as text.
#pragma once

#include <string>
#include <string_view>

namespace probe {

// A JSON string literal of UTF-8 text (invalid bytes are kept as they come).
std::string Quote(std::string_view utf8);

}  // namespace probe
