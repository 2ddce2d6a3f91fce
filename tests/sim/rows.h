// Tables of cases as parameterised tests: each row runs as a test of its own, with the
// fixture's own set-up and its own fault check in TearDown, and under a name that says which
// case it is, so a failure points straight at its row.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/text.h"

template <typename Fixture, typename Row>
class Rows : public Fixture, public ::testing::WithParamInterface<Row> {};

// Names a row after its own `name`: a short snake_case phrase, unique in its table.
struct RowName {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};

// Names a row of one plain value after the value: every character a test name cannot hold
// becomes '_', and an empty value is "empty".
struct ValueName {
  std::string operator()(const ::testing::TestParamInfo<double>& info) const {
    return Safe(::testing::PrintToString(info.param));
  }
  std::string operator()(const ::testing::TestParamInfo<host::Text>& info) const {
    return Safe(host::ToUtf8(info.param));
  }

 private:
  static std::string Safe(std::string name) {
    if (name.empty()) return "empty";
    for (char& c : name) {
      bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
      if (!keep) c = '_';
    }
    return name;
  }
};
