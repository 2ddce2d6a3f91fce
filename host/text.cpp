// The portable string rules: UTF-8 conversions, 1-based search and cuts, counter text.
#include "host/text.h"

#include <cmath>
#include <cstdio>

namespace host {

Text FromUtf8(std::string_view s) {
  Text out;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 0x6 && i + 1 < s.size()) {
      cp = ((c & 0x1F) << 6) | (s[i + 1] & 0x3F);
      len = 2;
    } else if ((c >> 4) == 0xE && i + 2 < s.size()) {
      cp = ((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
      len = 3;
    } else if ((c >> 3) == 0x1E && i + 3 < s.size()) {
      cp = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) |
           (s[i + 3] & 0x3F);
      len = 4;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string ToUtf8(const Text& t) {
  std::string out;
  for (std::size_t i = 0; i < t.size(); ++i) {
    char32_t cp = t[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < t.size() && t[i + 1] >= 0xDC00 &&
        t[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (t[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    // The lead byte marks how many six-bit continuation bytes follow, highest bits first.
    int more = cp < 0x80 ? 0 : cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
    constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(kLead[more] | (cp >> (6 * more))));
    for (int k = more - 1; k >= 0; --k) {
      out.push_back(static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F)));
    }
  }
  return out;
}

std::size_t InStr(const Text& haystack, const Text& needle) {
  std::size_t at = haystack.find(needle);
  return at == Text::npos ? 0 : at + 1;
}

Text Mid(const Text& text, std::size_t start, std::size_t count) {
  if (start == 0 || start > text.size()) return Text();
  return text.substr(start - 1, count);
}

Text Right(const Text& text, std::size_t n) {
  return n >= text.size() ? text : text.substr(text.size() - n);
}

double Val(const Text& text) {
  std::string ascii;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ascii.push_back(char(text[i++]));
  bool point = false;
  bool digits = false;
  for (; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'0' && c <= u'9') {
      ascii.push_back(static_cast<char>(c));
      digits = true;
    } else if (c == u'.' && !point) {
      ascii.push_back('.');
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  return std::strtod(ascii.c_str(), nullptr);
}

Text CounterText(double count) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.0f", std::trunc(count));
  return FromUtf8(buf);
}

}  // namespace host
