// The Windows version the tests' process sees. A run that asks Wine for another version (the
// x86 runs ask for XP's) names it in MARIGOLD_WINDOWS_VERSION, and this tells it was heard.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

TEST(WindowsVersion, IsTheOneTheRunAskedFor) {
  const char* asked = std::getenv("MARIGOLD_WINDOWS_VERSION");
  if (asked == nullptr) GTEST_SKIP() << "this run asks for no particular version";
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(::GetVersionExW(&info));
  EXPECT_EQ(std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion), asked);
}
