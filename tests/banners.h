// The chat lines every tier of tests expects, read from tests/banners.txt (the one list the
// C++ and Python tests share), with the parts the program fills in.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "banners_file.h"
#include "host/text.h"

namespace banners {

// The line of `key`, each "{part}" replaced by its value: {{u"name", u"Nick1"}, ...}.
inline host::Text Line(std::string_view key,
                       std::initializer_list<std::pair<host::Text, host::Text>> parts = {}) {
  std::string_view file(kbannersFile);
  std::string start("\n");  // appended, not added: gcc 12 misreads "\n" + string (-Wrestrict)
  start.append(key).append(" \"");
  std::size_t at = file.find(start);
  if (at == std::string_view::npos) throw std::invalid_argument(std::string(key));
  std::string_view line = file.substr(at + 1, file.find('\n', at + 1) - at - 1);
  host::Text text =
      host::FromUtf8(line.substr(line.find('"') + 1, line.rfind('"') - line.find('"') - 1));
  for (const auto& [part, value] : parts) {
    std::size_t place = text.find(u"{" + part + u"}");
    if (place != host::Text::npos) text.replace(place, part.size() + 2, value);
  }
  return text;
}

inline host::Text Load() {
  return Line("load");
}
inline host::Text LoadedBy(const host::Text& name) {
  return Line("loaded_by", {{u"name", name}});
}
inline host::Text Idle(const host::Text& name, const host::Text& minutes, const host::Text& since) {
  return Line("idle", {{u"name", name}, {u"minutes", minutes}, {u"since", since}});
}

}  // namespace banners
