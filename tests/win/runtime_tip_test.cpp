// The labels' tool tips against real windows, the pointer moved as a user moves it: a tip
// waits for the pointer to rest on its label, shows its label's text below the spot without
// taking the focus, and goes on a press, on another label, on leaving the window, after a
// while, when its text changes and when the form hides.
#include <gtest/gtest.h>
#include <windows.h>
// after <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/win/runtime_support.h"

namespace {

using runtime_test::Pump;
using runtime_test::RecordingForm;

// The tips' delays follow the double-click time; a short one keeps the test quick.
class ShortDoubleClickTime {
 public:
  explicit ShortDoubleClickTime(UINT ms) : saved_(::GetDoubleClickTime()) {
    ::SetDoubleClickTime(ms);
  }
  ~ShortDoubleClickTime() { ::SetDoubleClickTime(saved_); }

 private:
  UINT saved_;
};

HWND FindTip(HWND owner) {
  HWND found = nullptr;
  for (HWND w = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w != nullptr;
       w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (::GetWindow(w, GW_OWNER) == owner) found = w;
  }
  return found;
}

bool TipShown(HWND owner) {
  HWND tip = FindTip(owner);
  return tip != nullptr && ::IsWindowVisible(tip);
}

std::wstring TipText(HWND owner) {
  wchar_t text[64] = {};
  ::GetWindowTextW(FindTip(owner), text, 64);
  return text;
}

// Serves events until the tip's visibility is `shown`, for at most `seconds`.
bool TipBecomes(HWND owner, bool shown, double seconds) {
  for (double waited = 0; waited < seconds; waited += 0.02) {
    if (TipShown(owner) == shown) return true;
    Pump(0.02);
  }
  return TipShown(owner) == shown;
}

class RuntimeTips : public ::testing::Test {
 public:  // the table of endings below reaches them through a reference
  void SetUp() override {
    start_.Click = [] {};
    stop_.SetToolTip(u"Stop Idling");
    start_.SetToolTip(u"Start Idling");
    form_.Show();
    Pump(0.1);
  }

  // The pointer goes there, the one way a user moves it: the system tells the window.
  void MoveTo(int x, int y) {
    POINT spot = {x, y};
    ::ClientToScreen(Window(), &spot);
    ::SetCursorPos(spot.x, spot.y);
    host::DoEvents();
  }
  HWND Window() const { return form_.Window(); }

  ShortDoubleClickTime delays_{150};  // tips show after 150 ms and go after 1.5 s
  RecordingForm form_;                // 118 x 60 pixels at 100, 100
  host::Label& start_ = form_.AddLabel("Label2", {120, 360, 255, 135}, 0);  // 8,24 - 25,33
  host::Label& plain_ = form_.AddLabel("Label8", {600, 360, 255, 135}, 1);  // 40,24 - 57,33
  host::Label& stop_ = form_.AddLabel("Label3", {1200, 360, 255, 135}, 2);  // 80,24 - 97,33
};

TEST_F(RuntimeTips, ShowsAfterARestBelowTheSpotWithoutTakingTheFocus) {
  HWND active = ::GetActiveWindow();
  MoveTo(60, 50);
  EXPECT_EQ(FindTip(Window()), nullptr) << "nothing of the tips is made before one is wanted";
  MoveTo(10, 26);
  EXPECT_FALSE(TipShown(Window())) << "a tip waits for the pointer to rest";
  ASSERT_TRUE(TipBecomes(Window(), true, 2.0));
  HWND tip = FindTip(Window());
  EXPECT_EQ(TipText(Window()), L"Start Idling");
  EXPECT_TRUE(::GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(::GetActiveWindow(), active);

  RECT rect;
  ::GetWindowRect(tip, &rect);
  EXPECT_NEAR(rect.left, 110, 2) << "at the spot (Wine lays the tip's border outside it)";
  EXPECT_GT(rect.top, 126) << "below the spot, clear of the pointer";
  EXPECT_LT(rect.top, 126 + 64);
  EXPECT_GT(rect.right - rect.left, 20) << "wide enough for its text";
  EXPECT_GT(rect.bottom - rect.top, 8);
  EXPECT_TRUE(TipBecomes(Window(), false, 3.0)) << "it goes by itself after a while";
}

TEST_F(RuntimeTips, GoesWhenThePointerOrTheProgramEndsIt) {
  struct Case {
    const char* how;
    void (*end)(RuntimeTips&);
  };
  const Case cases[] = {
      {"a label with no tip", [](RuntimeTips& t) { t.MoveTo(45, 28); }},
      {"the bare picture", [](RuntimeTips& t) { t.MoveTo(60, 50); }},
      {"leaving the window", [](RuntimeTips& t) { t.MoveTo(-95, -95); }},
      {"a press",
       [](RuntimeTips& t) {
         ::PostMessageW(t.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 26));
         ::PostMessageW(t.Window(), WM_LBUTTONUP, 0, MAKELPARAM(10, 26));
       }},
      {"the form hiding", [](RuntimeTips& t) { t.form_.Hide(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    form_.Show();
    MoveTo(60, 50);
    MoveTo(10, 26);
    ASSERT_TRUE(TipBecomes(Window(), true, 2.0));
    c.end(*this);
    EXPECT_TRUE(TipBecomes(Window(), false, 1.0));
  }
}

TEST_F(RuntimeTips, EachLabelShowsItsOwnTextAndAChangedTextHidesTheOldOne) {
  MoveTo(10, 26);
  MoveTo(85, 28);  // straight on to Stop, before Start's tip was due
  ASSERT_TRUE(TipBecomes(Window(), true, 2.0));
  EXPECT_EQ(TipText(Window()), L"Stop Idling");

  stop_.SetToolTip(u"Stop Idling");
  Pump(0.05);
  EXPECT_TRUE(TipShown(Window())) << "the same text leaves it up";
  stop_.SetToolTip(u"Halt");
  EXPECT_FALSE(TipShown(Window()));

  MoveTo(60, 50);
  MoveTo(85, 28);
  ASSERT_TRUE(TipBecomes(Window(), true, 2.0));
  EXPECT_EQ(TipText(Window()), L"Halt");

  stop_.SetToolTip(u"");
  MoveTo(60, 50);
  MoveTo(85, 28);
  Pump(0.5);
  EXPECT_FALSE(TipShown(Window())) << "a label whose tip was cleared shows none";
}

}  // namespace
