// Event processing against real windows: waiting without spinning, WM_QUIT, what a mouse
// message carries, the text box and button, message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "host/platform.h"
#include "tests/win/runtime_support.h"

namespace {

using runtime_test::RecordingForm;

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

TEST(RuntimeEvents, WaitingForEventsCostsNoProcessorTime) {
  host::DoEvents();
  auto cpu = [] {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto value = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(value(kernel) + value(user)) / 1e7;
  };
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  // Wine may still deliver an X event left from the tests before (a box that went, a window
  // destroyed), and any event rightly ends a wait early; so the quiet wait is the longest of
  // up to three, and none of them may spin.
  double longest = 0.0;
  double cpuUsed = 0.0;
  for (int attempt = 0; attempt < 3 && longest < 0.19; ++attempt) {
    host::DoEvents();
    double cpuBefore = cpu();
    float clockBefore = host::SecondsSinceMidnight();
    ::QueryPerformanceCounter(&start);
    host::WaitForEvents(0.2);
    ::QueryPerformanceCounter(&end);
    double elapsed = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    cpuUsed += cpu() - cpuBefore;
    float clockAfter = host::SecondsSinceMidnight();
    longest = std::max(longest, elapsed);
    EXPECT_LT(elapsed, 0.5);
    if (clockAfter > clockBefore) {  // not across midnight
      EXPECT_NEAR(clockAfter - clockBefore, elapsed, 0.05);
    }
  }
  EXPECT_GE(longest, 0.19);
  EXPECT_LT(cpuUsed, 0.05);

  // A pending event ends the wait at once.
  RecordingForm form;
  form.Show();
  host::DoEvents();
  ::PostMessageW(form.Window(), WM_NULL, 0, 0);
  ::QueryPerformanceCounter(&start);
  host::WaitForEvents(2.0);
  ::QueryPerformanceCounter(&end);
  EXPECT_LT(double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart), 0.5);
  host::DoEvents();
}

TEST(RuntimeEvents, DoEventsLeavesTheQuitRequestForTheMainLoop) {
  ::PostQuitMessage(7);
  host::DoEvents();
  MSG msg;
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);

  // The main loop serves what comes first, a key for a window that is no form's among it,
  // and ends with the request's code.
  winsupport::UniqueWindow plain(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10,
                                                   nullptr, nullptr, nullptr, nullptr));
  ::PostMessageW(plain.get(), WM_KEYDOWN, 'A', 1);
  ::PostQuitMessage(9);
  EXPECT_EQ(host::ServeEvents(), 9);
}

// A start while the other copy is leaving (it holds "Alive" only) waits until that copy has
// gone. The copy here is a thread that lets go after a fifth of a second, so that a start
// which did not wait would still find it there.
TEST(RuntimeEvents, AStartWhileTheOtherCopyLeavesWaitsForItToGo) {
  struct Leaving {
    winsupport::UniqueHandle holding{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> gone{false};
    static DWORD WINAPI Run(void* self) {
      auto& leaving = *static_cast<Leaving*>(self);
      HANDLE alive = ::CreateMutexW(nullptr, TRUE, L"Local\\Marigold Idle.Alive");
      ::SetEvent(leaving.holding.get());
      ::Sleep(200);
      leaving.gone = true;
      ::ReleaseMutex(alive);
      ::CloseHandle(alive);
      return 0;
    }
  } leaving;
  winsupport::UniqueHandle thread(::CreateThread(nullptr, 0, &Leaving::Run, &leaving, 0, nullptr));
  ::WaitForSingleObject(leaving.holding.get(), INFINITE);
  ASSERT_EQ(host::ClaimSession(), host::SessionClaim::OtherLeaving);
  host::WaitForLeavingCopy();
  EXPECT_TRUE(leaving.gone);
  ::WaitForSingleObject(thread.get(), INFINITE);
  host::ProgramLeaving();
}

// A log-off that goes ahead ends the program (the end-to-end tier's); one that was cancelled
// ends nothing, so the statement's own exit code comes out.
TEST(RuntimeEventsDeathTest, ACancelledLogOffEndsNothing) {
  EXPECT_EXIT(
      {
        RecordingForm form;
        form.Show();
        ::SendMessageW(form.Window(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        ::ExitProcess(3);
      },
      ::testing::ExitedWithCode(3), "");
}

// Where presses go is the contract's (tests/contract); this is what the window adds: the
// shift state from the message, pixels as twips, and the capture given back on release.
TEST(RuntimeEvents, MousePressesCarryShiftStateAndGiveTheCaptureBack) {
  RecordingForm form;  // 118 x 60 pixels
  int clicks = 0;
  form.AddLabel("Label2", {120, 360, 255, 135}, 0).Click = [&] { ++clicks; };  // 8,24 - 25,33
  form.Show();
  HWND window = form.Window();
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 26));
  host::DoEvents();
  EXPECT_EQ(::GetCapture(), window) << "the release comes here wherever it happens";
  ::PostMessageW(window, WM_LBUTTONUP, 0, At(10, 26));
  host::DoEvents();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(::GetCapture(), nullptr) << "the release gives the capture back";

  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT | MK_CONTROL, At(50, 5));
  ::PostMessageW(window, WM_LBUTTONUP, 0, At(50, 5));
  host::DoEvents();
  ASSERT_EQ(form.downs.size(), 1u);
  EXPECT_EQ(form.downs[0].button, 1);
  EXPECT_EQ(form.downs[0].shift, 3);
  EXPECT_EQ(form.downs[0].x, 750.0f);
  EXPECT_EQ(form.downs[0].y, 75.0f);

  // Alt is read from the keyboard: no mouse message carries it.
  {
    runtime_test::HeldKey alt(VK_MENU);
    ::PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, At(50, 5));
    ::PostMessageW(window, WM_RBUTTONUP, 0, At(50, 5));
    host::DoEvents();
  }
  ASSERT_EQ(form.downs.size(), 2u);
  EXPECT_EQ(form.downs[1].button, 2);
  EXPECT_EQ(form.downs[1].shift, 4);
}

TEST(RuntimeEvents, TextBoxAndButtonAreRealControls) {
  RecordingForm form({4185, 2115, 3015, 270});
  host::TextBox& text = form.AddTextBox("Text1", {0, 0, 2655, 285}, 0);
  text.SetText(u"Enter Reason Why You are Idling");
  text.SetFont({u"Arial", 6.75f});
  host::CommandButton& ok = form.AddButton("Command1", {2640, 0, 375, 255}, 1);
  ok.SetCaption(u"ok");
  int presses = 0;
  ok.Click = [&] { ++presses; };
  form.Show();
  host::DoEvents();

  HWND edit = ::FindWindowExW(form.Window(), nullptr, L"Edit", nullptr);
  HWND button = ::FindWindowExW(form.Window(), nullptr, L"Button", nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(::GetFocus(), edit) << "the first text box takes the focus";
  LOGFONTW font = {};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, L"Arial") << "the box shows its own font";
  EXPECT_EQ(font.lfHeight, -9) << "6.75 points at 96 dpi";
  wchar_t shown[64] = {};
  ::GetWindowTextW(edit, shown, 64);
  EXPECT_STREQ(shown, L"Enter Reason Why You are Idling");
  ::GetWindowTextW(button, shown, 64);
  EXPECT_STREQ(shown, L"ok");
  EXPECT_EQ(::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);

  // Typing reaches the control's text.
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"away \u2022 lunch"));
  EXPECT_EQ(text.GetText(), u"away \u2022 lunch");
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  ::SendMessageW(edit, WM_CHAR, L'x', 0);
  EXPECT_EQ(text.GetText(), u"x");
  // And the program's text reaches the control.
  text.SetText(u"");
  EXPECT_EQ(::GetWindowTextLengthW(edit), 0);

  // Enter and Escape in the text box press nothing.
  for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
    ::PostMessageW(edit, WM_KEYDOWN, key, 1);
    ::PostMessageW(edit, WM_CHAR, key, 1);
    ::PostMessageW(edit, WM_KEYUP, key, 0xC0000001);
  }
  host::DoEvents();
  EXPECT_EQ(presses, 0);
  EXPECT_TRUE(form.Visible());

  ::SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(presses, 1);

  // The text stays with the hidden form.
  text.SetText(u"kept");
  form.Hide();
  form.Show();
  EXPECT_EQ(text.GetText(), u"kept");
  EXPECT_EQ(form.loads, 1);

  // Active again after another window, the form gives the focus to its text box; hidden while
  // it is active, it passes the activation on to the window in view.
  RecordingForm other({1500, 4000, 1770, 900});
  other.Show();
  ASSERT_EQ(::GetActiveWindow(), other.Window());
  ::SetActiveWindow(form.Window());
  EXPECT_EQ(::GetFocus(), edit);
  winsupport::UniqueWindow notShown(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10,
                                                      nullptr, nullptr, nullptr, nullptr));
  form.Hide();
  host::DoEvents();
  EXPECT_EQ(::GetActiveWindow(), other.Window());
}

// Finds a visible message box among this thread's windows.
BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t cls[16] = {};
  ::GetClassNameW(window, cls, 16);
  if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// The visible buttons of the message box this thread has open, or none.
std::vector<HWND> OpenBoxButtons() {
  HWND box = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  std::vector<HWND> buttons;
  if (box == nullptr) return buttons;
  for (HWND child = ::FindWindowExW(box, nullptr, L"Button", nullptr); child != nullptr;
       child = ::FindWindowExW(box, child, L"Button", nullptr)) {
    if (::IsWindowVisible(child)) buttons.push_back(child);
  }
  return buttons;
}

TEST(RuntimeEvents, MessageBoxServesTimersAndGivesStyle63OneButton) {
  struct Case {
    int style;
    std::size_t buttons;
    int answer;  // pressing the first button
  };
  const Case cases[] = {
      {63, 1, IDOK},
      {MB_YESNO | MB_ICONQUESTION, 2, IDYES},
      {MB_OK, 1, IDOK},
  };
  RecordingForm form;
  host::Timer& timer = form.AddTimer("Timer1", 50, true);
  form.Show();
  for (const Case& c : cases) {
    std::size_t seen = 0;
    int ticks = 0;
    timer.Tick = [&] {
      ++ticks;
      std::vector<HWND> buttons = OpenBoxButtons();
      if (buttons.empty()) return;
      seen = buttons.size();
      ::PostMessageW(buttons.front(), BM_CLICK, 0, 0);
    };
    int answer = host::MsgBox(u"Make sure to check my page", c.style, u"marigold v1 idle");
    EXPECT_GE(ticks, 1) << "timers run while the box is open";
    EXPECT_EQ(seen, c.buttons) << c.style;
    EXPECT_EQ(answer, c.answer) << c.style;
  }
  timer.SetEnabled(false);
}

}  // namespace
