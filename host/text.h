// Text as the program holds it (UTF-16), its conversions to and from the ANSI code page,
// and the few string rules the program relies on (1-based positions, cuts, counters).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host {

using Text = std::u16string;

// The system's ANSI code page. On Windows this is CP_ACP; the simulated desktop uses
// Windows-1252, which is what Wine and an English Windows use. Characters without a
// counterpart become the host's default character ('?').
std::string ToAnsi(const Text& text);
// Every byte comes back, embedded NULs included: the caller decides where text ends.
Text FromAnsi(std::string_view bytes);

// Source files and logs are UTF-8; these are exact (invalid input becomes U+FFFD).
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(const Text& text);

// Position of the first occurrence of needle, counting from 1; 0 when absent.
// Exact, case-sensitive comparison of code units. An empty needle is found at 1.
std::size_t InStr(const Text& haystack, const Text& needle);
// count characters from the 1-based position start (clipped to the text's end).
// start must be at least 1 and count at least 0.
Text Mid(const Text& text, std::size_t start, std::size_t count);
// The last n characters (the whole text when n exceeds its length).
Text Right(const Text& text, std::size_t n);

// The leading number of a text: leading blanks skipped, optional sign, digits, a point as
// decimal separator; 0 when the text does not begin with a number.
double Val(const Text& text);
// A whole count as plain decimal digits ("0", "12", "-3"); no blank, no decimal part.
Text CounterText(double count);

}  // namespace host
