// The user32 layer against real windows: captions read as ANSI bytes, the handle-0 caption
// guard, SendMessageTimeoutA's success flag and class searches.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "host/text.h"
#include "host/user32.h"

namespace {

class RuntimeUser32 : public ::testing::Test {
 protected:
  void SetUp() override {
    // A plain static window is enough to own a caption and answer messages.
    window_ = ::CreateWindowExA(0, "STATIC", "Welcome, Ann \x95!", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) ::DestroyWindow(window_);
  }
  host::Hwnd Handle() const { return reinterpret_cast<host::Hwnd>(window_); }
  HWND window_ = nullptr;
};

TEST_F(RuntimeUser32, ReadsCaptionsAndGuardsHandleZero) {
  int n = host::GetWindowTextLengthA(Handle());
  ASSERT_EQ(n, 15);
  std::string buffer(static_cast<std::size_t>(n) + 1, 'x');
  EXPECT_EQ(host::GetWindowTextA(Handle(), buffer.data(), n + 1), n);
  EXPECT_EQ(buffer, std::string("Welcome, Ann \x95!\0", 16));

  // Handle 0: no caption and nothing written into the caller's buffer.
  EXPECT_EQ(host::GetWindowTextLengthA(0), 0);
  std::string untouched(8, 'x');
  EXPECT_EQ(host::GetWindowTextA(0, untouched.data(), 8), 0);
  EXPECT_EQ(untouched, std::string(8, 'x'));
}

TEST_F(RuntimeUser32, SetsTextAndReportsTimedSends) {
  std::string bytes = host::ToAnsi(u"\u2022 \u00BA\u2022 hi");
  EXPECT_TRUE(host::SendMessageTimeoutA(Handle(), host::kWmSetText, 0,
                                        reinterpret_cast<std::intptr_t>(bytes.c_str()),
                                        host::kSmtoAbortIfHung, 1000));
  char read[32] = {};
  ::GetWindowTextA(window_, read, sizeof read);
  EXPECT_EQ(std::string(read), bytes);

  host::SendMessageA(Handle(), host::kWmSetText, 0, reinterpret_cast<std::intptr_t>("plain"));
  ::GetWindowTextA(window_, read, sizeof read);
  EXPECT_STREQ(read, "plain");

  // A handle that names no window: the send fails and says so.
  EXPECT_FALSE(host::SendMessageTimeoutA(0x7FFF0, host::kWmSetText, 0,
                                         reinterpret_cast<std::intptr_t>("x"),
                                         host::kSmtoAbortIfHung, 100));
}

TEST_F(RuntimeUser32, FindsWindowsByClass) {
  HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  HWND a =
      ::CreateWindowExA(0, "BUTTON", "a", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
  HWND b =
      ::CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
  auto p = reinterpret_cast<host::Hwnd>(parent);
  host::Hwnd first = host::FindWindowExA(p, 0, "button", nullptr);
  host::Hwnd second = host::FindWindowExA(p, first, "Button", nullptr);
  EXPECT_EQ(first, reinterpret_cast<host::Hwnd>(a));
  EXPECT_EQ(second, reinterpret_cast<host::Hwnd>(b));
  EXPECT_EQ(host::FindWindowExA(p, second, "BUTTON", nullptr), 0u);
  ::DestroyWindow(parent);
}

}  // namespace
