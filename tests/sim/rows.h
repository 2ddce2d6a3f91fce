// Tables of cases as parameterised tests: each row runs as a test of its own, with the
// fixture's own set-up and its own fault check in TearDown.
#pragma once

#include <gtest/gtest.h>

template <typename Fixture, typename Row>
class Rows : public Fixture, public ::testing::WithParamInterface<Row> {};
