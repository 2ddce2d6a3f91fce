// The program's window classes, registered one way, and the system DLLs it loads at run time.
#include <string>

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

HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  return ::LoadLibraryW(path.c_str());
}

}  // namespace host::win32
