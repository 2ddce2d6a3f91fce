// The program's window classes (the forms', the tool tip's), registered one way.
#include "host/win32/native.h"

namespace host::win32 {

void RegisterWindowClass(const wchar_t* name, WNDPROC proc, UINT style) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW cls = {};
  cls.cbSize = sizeof cls;
  if (::GetClassInfoExW(instance, name, &cls)) return;  // registered by an earlier window
  cls.style = style;
  cls.lpfnWndProc = proc;
  cls.hInstance = instance;
  cls.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  cls.lpszClassName = name;
  ::RegisterClassExW(&cls);
}

}  // namespace host::win32
