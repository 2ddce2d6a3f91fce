// GoogleTest's hook for a port's own pieces, for the win32 thread model, whose standard
// library has no std::mutex: GoogleTest's one use of it, Notification, on a Win32 event.
#ifndef MARIGOLD_TESTS_GTEST_WIN32_CUSTOM_GTEST_PORT_H_
#define MARIGOLD_TESTS_GTEST_WIN32_CUSTOM_GTEST_PORT_H_

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

// Lets a controller thread hold back the threads it starts until it notifies them.
class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify();
  void WaitForNotification();

 private:
  void* event_;  // a manual-reset event
};

}  // namespace testing::internal

#endif  // MARIGOLD_TESTS_GTEST_WIN32_CUSTOM_GTEST_PORT_H_
