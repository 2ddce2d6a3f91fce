// The probe's view through Active Accessibility, as a screen reader or script has it from
// another process: a window's client object and its children, hit-testing, default actions.
#pragma once

#include <windows.h>

#include <string>

namespace probe {

// {"name", "role", "state", "children": [[id, name, role, value, state, [l, t, r, b]], ...]}
// of the window's OBJID_CLIENT object; null when none could be had.
std::string AccessibleTree(HWND window);
// [name, role, child id] of what AccessibleObjectFromPoint finds at a screen point.
std::string AccessibleAt(long x, long y);
// The HRESULT of accDoDefaultAction on child `id` (0: the object itself) of the window.
std::string AccessibleDo(HWND window, long id);
// 1 when the process has the module (e.g. "oleacc.dll") loaded, else 0; null if unreadable.
std::string ModuleLoaded(DWORD pid, const std::wstring& module);

}  // namespace probe
