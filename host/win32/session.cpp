// One program per Windows session, with two mutexes in the session's own namespace (Local\,
// which XP has too; both builds use the same names). "Running" is held from the start until
// the farewell begins; "Alive" until the process ends, when the system lets it go.
#include <windows.h>

#include "host/win32/native.h"

namespace host {
namespace {

constexpr wchar_t kRunning[] = L"Local\\Marigold Idle.Running";
constexpr wchar_t kAlive[] = L"Local\\Marigold Idle.Alive";

// Held for the life of the process.
win32::UniqueHandle running;
win32::UniqueHandle alive;

// Owns the named mutex now, or reports that another process holds it. A mutex whose owner
// ended without letting it go counts as free.
bool Take(win32::UniqueHandle& mutex, const wchar_t* name) {
  mutex.reset(::CreateMutexW(nullptr, FALSE, name));
  // Without the object (no rights, no memory) the program runs as it would alone.
  if (!mutex) return true;
  return ::WaitForSingleObject(mutex.get(), 0) != WAIT_TIMEOUT;
}

// The first top-level window of the class that belongs to the process, visible or not.
HWND WindowOf(DWORD process, const wchar_t* className, bool visibleOnly) {
  for (HWND window = ::FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
       window = ::FindWindowExW(nullptr, window, className, nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == process && (!visibleOnly || ::IsWindowVisible(window))) return window;
  }
  return nullptr;
}

}  // namespace

SessionClaim ClaimSession() {
  if (!Take(running, kRunning)) return SessionClaim::OtherRunning;
  return Take(alive, kAlive) ? SessionClaim::Alone : SessionClaim::OtherLeaving;
}

void WaitForLeavingCopy() {
  if (alive) ::WaitForSingleObject(alive.get(), INFINITE);
}

void ProgramLeaving() {
  if (running) ::ReleaseMutex(running.get());
}

void BringRunningCopyForward() {
  // Its forms are there from its start, shown or hidden; they tell which process it is.
  HWND any = ::FindWindowW(win32::kFormClass, nullptr);
  if (any == nullptr) return;  // still starting: nothing of it to show yet
  DWORD process = 0;
  ::GetWindowThreadProcessId(any, &process);
  // A box it has open stays in front: the form behind it comes back when the box goes.
  HWND shown = WindowOf(process, L"#32770", true);
  if (shown == nullptr) shown = WindowOf(process, win32::kFormClass, true);
  if (shown == nullptr) return;
  // Both only ask: the window's own thread does the work when it gets to it.
  if (::IsIconic(shown)) ::ShowWindowAsync(shown, SW_RESTORE);
  ::SetForegroundWindow(shown);
}

}  // namespace host
