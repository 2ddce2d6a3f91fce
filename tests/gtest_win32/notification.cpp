// GoogleTest's Notification for the win32 thread model (see gtest/internal/custom/gtest-port.h).
#include <windows.h>

#include "gtest/internal/custom/gtest-port.h"

namespace testing::internal {

Notification::Notification() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
Notification::~Notification() {
  if (event_ != nullptr) ::CloseHandle(event_);
}
void Notification::Notify() {
  ::SetEvent(event_);
}
void Notification::WaitForNotification() {
  ::WaitForSingleObject(event_, INFINITE);
}

}  // namespace testing::internal
