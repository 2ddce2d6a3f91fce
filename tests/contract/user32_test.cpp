// The window functions the program calls on the chat client's windows: searches among a
// window's children, captions read as ANSI bytes, and sends that report what they did.
#include "host/user32.h"

#include <string>

#include "tests/contract/driver.h"

namespace {

using User32 = contract::HostContract;

TEST_F(User32, ChildrenAreFoundInCreationOrderWhateverTheClassNamesCase) {
  host::Hwnd parent = contract::MakeWindow(0, "Holder");
  host::Hwnd first = contract::MakeWindow(parent, "Kid");
  contract::MakeWindow(first, "kid");  // a grandchild is never found
  host::Hwnd second = contract::MakeWindow(parent, "kid");
  EXPECT_EQ(host::FindWindowExA(parent, 0, "KID", nullptr), first);
  EXPECT_EQ(host::FindWindowExA(parent, first, "kid", nullptr), second);
  EXPECT_EQ(host::FindWindowExA(parent, second, "Kid", nullptr), 0u);
  EXPECT_EQ(host::FindWindowExA(parent, 0, "Other", nullptr), 0u);
}

TEST_F(User32, CaptionsAreReadAsAnsiBytesWithinTheBuffer) {
  host::Hwnd window = contract::MakeWindow(0, "Holder",
                                           "abc\x95"
                                           "def");
  EXPECT_EQ(host::GetWindowTextLengthA(window), 7);
  std::string buffer(8, 'x');
  EXPECT_EQ(host::GetWindowTextA(window, buffer.data(), 4), 3);
  EXPECT_EQ(buffer, std::string("abc\0xxxx", 8));
  EXPECT_EQ(host::GetWindowTextA(window, buffer.data(), 8), 7);
  EXPECT_EQ(buffer, std::string("abc\x95"
                                "def\0",
                                8));
  // Handle 0: no caption, and nothing written into the caller's buffer.
  EXPECT_EQ(host::GetWindowTextLengthA(0), 0);
  std::string untouched(8, 'x');
  EXPECT_EQ(host::GetWindowTextA(0, untouched.data(), 8), 0);
  EXPECT_EQ(untouched, std::string(8, 'x'));
}

TEST_F(User32, SendsSetTextAndSayWhetherTheWindowTookIt) {
  host::Hwnd window = contract::MakeWindow(0, "Holder");
  const std::string bytes = "\x95 \xBA\x95 hi";
  EXPECT_TRUE(host::SendMessageTimeoutA(window, host::kWmSetText, 0,
                                        reinterpret_cast<std::intptr_t>(bytes.c_str()),
                                        host::kSmtoAbortIfHung, 1000));
  char read[32] = {};
  EXPECT_EQ(host::GetWindowTextA(window, read, sizeof read), 7);
  EXPECT_EQ(std::string(read), bytes);
  host::SendMessageA(window, host::kWmSetText, 0, reinterpret_cast<std::intptr_t>("plain"));
  host::GetWindowTextA(window, read, sizeof read);
  EXPECT_EQ(std::string(read), "plain");
  // No window: nothing is sent, and the send says so.
  EXPECT_EQ(host::SendMessageA(0, host::kWmSetText, 0, reinterpret_cast<std::intptr_t>("x")), 0);
  EXPECT_FALSE(host::SendMessageTimeoutA(
      0, host::kWmSetText, 0, reinterpret_cast<std::intptr_t>("x"), host::kSmtoAbortIfHung, 100));
}

}  // namespace
