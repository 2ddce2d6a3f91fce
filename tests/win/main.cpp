// Entry point of the Windows test program: runs the tests, then ends the process at once.
// Leaving through the C runtime's exit path under Wine occasionally stalled after every test
// had passed (DLL detach with windows of several threads); the result is all that matters.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}
