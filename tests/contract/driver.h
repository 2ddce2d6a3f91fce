// What each tier gives the host contract tests (tests/contract), so that the same tests run
// against the simulated desktop (tests/sim) and against real windows under Wine (tests/win).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/runtime.h"

namespace contract {

// Serves the program's events for `seconds`: of the virtual clock, or of the real one.
void Pump(double seconds);
// A mouse button (1 left, 2 right, 4 middle) goes down or up at a point of the form's client
// area in twips, and the events it makes are handled.
void Press(host::Form& form, int button, float x, float y);
void Release(host::Form& form, int button, float x, float y);
// A window of the class with an ANSI caption, a child of `parent` or top-level (0); it goes
// at Reset, its children with it.
host::Hwnd MakeWindow(host::Hwnd parent, const char* cls, const std::string& caption = "");
// Puts the host back to a clean desktop between tests.
void Reset();

class HostContract : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
};

// A form that records its events; 118 x 60 pixels at 15 twips per pixel.
class RecordingForm : public host::Form {
 public:
  explicit RecordingForm(host::TwipsRect area = {1500, 1500, 1770, 900}) : Form("Recording") {
    SetClientArea(area);
    SetCaption(u"Recording");
  }
  void Form_Load() override {
    ++loads;
    visibleDuringLoad = Visible();
    handleDuringLoad = Handle();
  }
  void Form_MouseDown(int button, int shift, float x, float y) override {
    downs.push_back({button, shift, x, y});
  }
  void Form_Click() override { ++clicks; }

  int loads = 0;
  bool visibleDuringLoad = true;
  host::Hwnd handleDuringLoad = 0;
  struct MouseDown {
    int button, shift;
    float x, y;
  };
  std::vector<MouseDown> downs;
  int clicks = 0;
};

}  // namespace contract
