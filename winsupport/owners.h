// Owners for the Windows handles the program, its tools and its tests hold: kernel handles,
// windows, GDI objects, icons, device contexts, locks, COM pointers and BSTRs, each released
// exactly once.
#pragma once

#include <windows.h>
// after <windows.h>; also where WIN32_LEAN_AND_MEAN leaves COM out
#include <objbase.h>
#include <oleauto.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace winsupport {

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct WindowCloser {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
struct GdiCloser {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct IconCloser {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DcCloser {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};

using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiCloser>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiCloser>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiCloser>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconCloser>;
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcCloser>;

// A device context borrowed from a window with GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC for the life of this object, then puts the old one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~Selection() { ::SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A critical section that lives as long as its owner.
class CriticalSection {
 public:
  CriticalSection() { ::InitializeCriticalSection(&section_); }
  ~CriticalSection() { ::DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  // Holds the section for the life of the lock.
  class Lock {
   public:
    explicit Lock(CriticalSection& owner) : section_(owner.section_) {
      ::EnterCriticalSection(&section_);
    }
    ~Lock() { ::LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    CRITICAL_SECTION& section_;
  };

 private:
  CRITICAL_SECTION section_;
};

// A BSTR that a COM call hands over (filled through Put()), freed when it goes.
class Bstr {
 public:
  Bstr() = default;
  ~Bstr() { ::SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return text_; }
  // For out-parameters: frees what is held and gives the slot to fill.
  BSTR* Put() {
    ::SysFreeString(std::exchange(text_, nullptr));
    return &text_;
  }

 private:
  BSTR text_ = nullptr;
};

// A COM interface pointer that is released when it goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* adopted) : p_(adopted) {}  // takes over one reference
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  // For out-parameters: releases what is held and gives the slot to fill.
  T** Put() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

// Keeps COM initialised on this thread while alive; undoes only what it did.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ok_) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};

}  // namespace winsupport
