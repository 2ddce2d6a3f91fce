// A fresh simulated desktop for the Hook32 tests, and helpers that build chat client trees.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hook32/hook32.h"
#include "host/sim/sim.h"

class Hook32Test : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override {
    // A blocking send to a hung window may have been swallowed by a handler's error trap.
    EXPECT_TRUE(sim::Faults().empty()) << sim::Faults().front();
    sim::Reset();
  }

  // An AOL Child holding one direct child of each of the given classes, in order.
  sim::Hwnd AddChildWith(const std::vector<std::string>& classes, const host::Text& caption = u"") {
    sim::Hwnd child = sim::AddChild(client_, caption);
    for (const auto& c : classes) sim::CreateWindow(child, c);
    return child;
  }

  sim::ChatClient client_;
};

inline const std::vector<std::string> kRoomClasses = {"RICHCNTL", "RICHCNTL", "_AOL_Listbox",
                                                      "_AOL_Icon", "_AOL_Static"};
