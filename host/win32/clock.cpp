// The local clock: seconds since midnight and the time of day in the user's time format.
#include <windows.h>

#include "host/runtime.h"

namespace host {

float SecondsSinceMidnight() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  double seconds =
      now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
  return static_cast<float>(seconds);
}

Text TimeOfDayText() {
  wchar_t buffer[128];
  // The locale-id form, which XP has; it reads the same user setting as the locale-name one.
  int length = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer,
                                static_cast<int>(std::size(buffer)));
  if (length <= 1) return Text();
  // The count includes the terminating NUL.
  return Text(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(length - 1));
}

}  // namespace host
