// The chat lines every tier of tests expects, read from tests/banners.txt (the one list the
// C++ and Python tests share), with the parts the program fills in.
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

#include "banners_file.h"
#include "host/text.h"

namespace banners {

inline host::Text Line(std::string_view key) {
  std::string_view rest(kBannersFile);
  while (!rest.empty()) {
    std::string_view line = rest.substr(0, rest.find('\n'));
    rest.remove_prefix(std::min(rest.size(), line.size() + 1));
    if (line.substr(0, line.find(' ')) != key) continue;
    std::size_t open = line.find('"');
    std::size_t close = line.rfind('"');
    return host::FromUtf8(line.substr(open + 1, close - open - 1));
  }
  throw std::invalid_argument("no banner " + std::string(key));
}

inline host::Text Fill(host::Text text, const host::Text& part, const host::Text& value) {
  std::size_t at = text.find(u"{" + part + u"}");
  if (at != host::Text::npos) text.replace(at, part.size() + 2, value);
  return text;
}

inline host::Text Load() {
  return Line("load");
}
inline host::Text LoadedBy(const host::Text& name) {
  return Fill(Line("loaded_by"), u"name", name);
}
inline host::Text Idle(const host::Text& name, const host::Text& minutes, const host::Text& since) {
  return Fill(Fill(Fill(Line("idle"), u"name", name), u"minutes", minutes), u"since", since);
}

}  // namespace banners
