// The simulated desktop's window tree and the user32 functions the program calls over it,
// with a log of every message each window processed.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "host/sim/internal.h"

namespace sim {
namespace detail {
namespace {

struct Desktop {
  std::map<Hwnd, Window> windows;
  std::vector<Hwnd> topLevel;
  int sendCalls = 0;
  int sendTimeoutCalls = 0;
  unsigned lastTimeoutMs = 0;
  unsigned lastTimeoutFlags = 0;
  int releaseCaptureCalls = 0;
  std::vector<std::string> faults;
};

Desktop& desk() {
  static Desktop d;
  return d;
}

// Handles are never reused, not even across Reset, so a stale handle held by a form or a
// test can never name a newer window.
Hwnd nextHandle = 0x10010;

bool SameClass(const std::string& a, const char* b) {
  if (b == nullptr) return true;
  auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::equal(a.begin(), a.end(), b, b + std::strlen(b),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

bool Matches(const Window& w, const char* className, const char* windowName) {
  return SameClass(w.className, className) && SameClass(w.caption, windowName);
}

std::vector<Hwnd>& Siblings(Hwnd parent) {
  if (parent == 0) return desk().topLevel;
  return Find(parent)->children;
}

// What the window does with a message it processes.
std::intptr_t Process(Window& w, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  Message logged{message, wParam, lParam, {}, 0};
  std::intptr_t result = 0;
  if (message == host::kWmSetText) {
    if (lParam != 0) logged.text = reinterpret_cast<const char*>(lParam);
    w.caption = logged.text;
    result = 1;
  } else if (message == host::kWmSysCommand && lParam != 0) {
    std::memcpy(&logged.lParamTarget, reinterpret_cast<const void*>(lParam),
                sizeof logged.lParamTarget);
  }
  w.messages.push_back(std::move(logged));
  if (message == host::kWmChar && wParam == 13 && w.chatInput) {
    w.posted.push_back(w.caption);
    w.caption.clear();
  }
  return result;
}

}  // namespace

Window* Find(Hwnd window) {
  auto it = desk().windows.find(window);
  return it == desk().windows.end() ? nullptr : &it->second;
}

Window* FindLive(Hwnd window) {
  Window* w = Find(window);
  return w != nullptr && w->alive ? w : nullptr;
}

void ResetDesktop() {
  desk() = Desktop();
}

}  // namespace detail

using detail::desk;
using detail::FindLive;

Hwnd CreateWindow(Hwnd parent, const std::string& className, const Text& caption) {
  if (parent != 0 && FindLive(parent) == nullptr)
    throw std::logic_error("sim::CreateWindow: the parent is no window");
  Hwnd handle = detail::nextHandle;
  detail::nextHandle += 4;
  detail::Window w;
  w.handle = handle;
  w.parent = parent;
  w.className = className;
  w.caption = host::ToAnsi(caption);
  desk().windows.emplace(handle, std::move(w));
  detail::Siblings(parent).push_back(handle);
  return handle;
}

void DestroyWindow(Hwnd window) {
  detail::Window* w = FindLive(window);
  if (w == nullptr) return;
  std::vector<Hwnd> children = w->children;
  for (Hwnd child : children) DestroyWindow(child);
  w->alive = false;
  auto& siblings = detail::Siblings(w->parent);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
}

bool IsWindow(Hwnd window) {
  return FindLive(window) != nullptr;
}

void SetCaption(Hwnd window, const Text& caption) {
  SetCaptionBytes(window, host::ToAnsi(caption));
}

void SetCaptionBytes(Hwnd window, const std::string& bytes) {
  if (detail::Window* w = FindLive(window)) w->caption = bytes;
}

std::string CaptionBytes(Hwnd window) {
  detail::Window* w = FindLive(window);
  return w == nullptr ? std::string() : w->caption;
}

void SetLengthOverReport(Hwnd window, int extra) {
  if (detail::Window* w = FindLive(window)) w->lengthOverReport = extra;
}

const std::vector<Message>& Messages(Hwnd window) {
  static const std::vector<Message> none;
  detail::Window* w = detail::Find(window);
  return w == nullptr ? none : w->messages;
}

void SetHung(Hwnd window, bool hung) {
  if (detail::Window* w = FindLive(window)) w->hung = hung;
}

bool IsTopmost(Hwnd window) {
  detail::Window* w = FindLive(window);
  return w != nullptr && w->topmost;
}

int SendMessageCalls() {
  return desk().sendCalls;
}
int SendMessageTimeoutCalls() {
  return desk().sendTimeoutCalls;
}
unsigned LastTimeoutMs() {
  return desk().lastTimeoutMs;
}
unsigned LastTimeoutFlags() {
  return desk().lastTimeoutFlags;
}
int ReleaseCaptureCalls() {
  return desk().releaseCaptureCalls;
}
const std::vector<std::string>& Faults() {
  return desk().faults;
}

}  // namespace sim

namespace host {

using sim::detail::desk;
using sim::detail::FindLive;

Hwnd FindWindowA(const char* className, const char* windowName) {
  return FindWindowExA(0, 0, className, windowName);
}

Hwnd FindWindowExA(Hwnd parent, Hwnd after, const char* className, const char* windowName) {
  if (parent != 0 && FindLive(parent) == nullptr) return 0;
  const auto& list = sim::detail::Siblings(parent);
  auto it = list.begin();
  if (after != 0) {
    it = std::find(list.begin(), list.end(), after);
    if (it == list.end()) return 0;  // not a child of parent: the search fails
    ++it;
  }
  for (; it != list.end(); ++it) {
    if (sim::detail::Matches(*FindLive(*it), className, windowName)) return *it;
  }
  return 0;
}

int GetWindowTextLengthA(Hwnd window) {
  sim::detail::Window* w = FindLive(window);
  if (w == nullptr) return 0;
  return static_cast<int>(w->caption.size()) + w->lengthOverReport;
}

int GetWindowTextA(Hwnd window, char* buffer, int count) {
  // Handle 0 names no window: nothing is written, as on the real host.
  if (buffer == nullptr || count <= 0 || window == 0) return 0;
  sim::detail::Window* w = FindLive(window);
  if (w == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  std::size_t n = std::min(w->caption.size(), static_cast<std::size_t>(count - 1));
  std::memcpy(buffer, w->caption.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

std::intptr_t SendMessageA(Hwnd window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  ++desk().sendCalls;
  sim::detail::Window* w = FindLive(window);
  if (w == nullptr) return 0;
  if (w->hung) {
    // On Windows this call would never return. The error is also kept in Faults(), since a
    // handler's own error trap may swallow it.
    std::string what = "SendMessageA to a hung window (class " + w->className + ")";
    desk().faults.push_back(what);
    throw sim::HungWindowSend(what);
  }
  return sim::detail::Process(*w, message, wParam, lParam);
}

bool SendMessageTimeoutA(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                         unsigned flags, unsigned timeoutMs) {
  ++desk().sendTimeoutCalls;
  desk().lastTimeoutMs = timeoutMs;
  desk().lastTimeoutFlags = flags;
  sim::detail::Window* w = FindLive(window);
  if (w == nullptr) return false;
  if (w->hung) {
    // Without kSmtoAbortIfHung the caller sits out the whole timeout.
    if ((flags & kSmtoAbortIfHung) == 0)
      sim::detail::AdvanceClockTo(sim::Now() + timeoutMs / 1000.0);
    return false;
  }
  sim::detail::Process(*w, message, wParam, lParam);
  return true;
}

bool SetWindowPos(Hwnd window, Hwnd insertAfter, int, int, int, int, unsigned) {
  sim::detail::Window* w = FindLive(window);
  if (w == nullptr) return false;
  if (insertAfter == kHwndTopmost) w->topmost = true;
  if (insertAfter == static_cast<Hwnd>(-2)) w->topmost = false;  // HWND_NOTOPMOST
  return true;
}

bool ReleaseCapture() {
  ++desk().releaseCaptureCalls;
  return true;
}

}  // namespace host
