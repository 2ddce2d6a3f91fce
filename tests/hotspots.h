// The main window's hot spots and read-outs every tier of tests expects, read from
// tests/hotspots.txt (the one table the C++ and Python tests share).
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "host/runtime.h"
#include "hotspots_file.h"

namespace hotspots {

struct Part {
  host::Text name;
  bool button = false;  // a push button; otherwise a read-out (static text)
  bool hasValue = false;
  host::Text value;
  host::TwipsRect rect;
};

// Every part in the order the window lists them.
inline std::vector<Part> Parts() {
  std::vector<Part> parts;
  std::istringstream file(khotspotsFile);
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    Part part;
    part.name = host::FromUtf8(fields.at(0));
    part.button = fields.at(1) == "button";
    part.hasValue = fields.at(2) != "-";
    if (part.hasValue) part.value = host::FromUtf8(fields[2]);
    std::istringstream(fields.at(3)) >> part.rect.left >> part.rect.top >> part.rect.width >>
        part.rect.height;
    parts.push_back(part);
  }
  return parts;
}

}  // namespace hotspots
