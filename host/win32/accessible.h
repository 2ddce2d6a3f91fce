// The Windows side of accessibility: answering WM_GETOBJECT from the form's description,
// the default actions it defers to the window, and the change events it sends.
#pragma once

#include <oleacc.h>
#include <windows.h>

#include "host/win32/native.h"

namespace host::win32 {

// The IUnknown part of the program's accessible objects: one reference count, and the answer
// for IAccessible and the interfaces it derives from.
template <typename Derived>
class AccessibleUnknown : public IAccessible {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    // __uuidof: the IID_IAccessible of mingw-w64's liboleacc.a is wrong under Wine.
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(::InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete static_cast<Derived*>(this);
    return static_cast<ULONG>(left);
  }

 protected:
  AccessibleUnknown() = default;
  ~AccessibleUnknown() = default;

 private:
  LONG refs_ = 1;
};

// oleacc.dll's entry points and oleaut32.dll's string allocator, loaded on the first
// accessibility request (never at start: the program does not link them).
struct Oleacc {
  LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
  HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
  BSTR(WINAPI* sysAllocStringLen)(const OLECHAR*, UINT) = nullptr;
  bool Ok() const { return lresultFromObject && createStdAccessibleObject && sysAllocStringLen; }
};
const Oleacc& GetOleacc();

// Posted to a form's window to run a part's default action (wParam: the part's index), so
// the caller of accDoDefaultAction never waits on what the click opens.
constexpr UINT kAccessActionMessage = WM_APP + 0x2A;

// WM_GETOBJECT: for OBJID_CLIENT of a form that describes parts, its own accessible object
// (oleacc.dll is loaded the first time); every other request goes to DefWindowProc.
LRESULT AnswerGetObject(Form::Native& native, WPARAM wParam, LPARAM lParam);
// kAccessActionMessage: the part's default action, if its window can still be clicked.
void RunAccessAction(Form::Native& native, WPARAM part);
// After a label changed: EVENT_OBJECT_NAMECHANGE / VALUECHANGE for the parts it changed.
void AnnounceChanges(Form::Native& native);

// A text box or button the form made as a child window: its accessible object is the
// system's own, with the name the form's description gives it and, for a button, the push
// button's role, which not every host's standard object reports.
void DescribeNativeControl(HWND control, const Control& owner, bool button);

}  // namespace host::win32
