// The Windows side of accessibility: answering WM_GETOBJECT from the form's description,
// the default actions it defers to the window, the change events it sends, and the base its
// accessible objects share over the system's standard object.
#pragma once

#include <oleacc.h>
#include <windows.h>

#include <utility>

#include "host/win32/native.h"

namespace host::win32 {

// oleacc.dll's entry points and oleaut32.dll's string allocator, loaded on the first
// accessibility request (never at start: the program does not link them).
struct Oleacc {
  LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
  HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
  BSTR(WINAPI* sysAllocStringLen)(const OLECHAR*, UINT) = nullptr;
  bool Ok() const { return lresultFromObject && createStdAccessibleObject && sysAllocStringLen; }
};
const Oleacc& GetOleacc();

// The IUnknown part of the program's accessible objects: one reference count, and the answer
// for IAccessible and the interfaces it derives from.
template <typename Derived>
class AccessibleUnknown : public IAccessible {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
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
  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(::InterlockedIncrement(&refs_));
  }
  STDMETHODIMP_(ULONG) Release() override {
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

// An accessible object over a window's standard client object: what the derived class does
// not answer itself, the standard object answers, so each class says only what it changes.
template <typename Derived>
class ForwardingAccessible : public AccessibleUnknown<Derived> {
 public:
  // WM_GETOBJECT's answer for `window`: a new Derived(standard object, args...), or 0 when
  // oleacc.dll or the standard object cannot be had.
  template <typename... Args>
  static LRESULT Hand(HWND window, WPARAM wParam, Args&&... args) {
    const Oleacc& oleacc = GetOleacc();
    ComPtr<IAccessible> standard;
    if (!oleacc.Ok() ||
        FAILED(oleacc.createStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(standard.Put())))) {
      return 0;
    }
    // The result holds a reference of its own; ours goes with `object`.
    ComPtr<Derived> object(new Derived(std::move(standard), std::forward<Args>(args)...));
    return oleacc.lresultFromObject(__uuidof(IAccessible), wParam, object.get());
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return s_->GetTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return s_->GetTypeInfo(i, l, t);
  }
  STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
    return s_->GetIDsOfNames(r, n, c, l, d);
  }
  STDMETHODIMP Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                      UINT* a) override {
    return s_->Invoke(d, r, l, f, p, v, e, a);
  }
  STDMETHODIMP get_accParent(IDispatch** p) override { return s_->get_accParent(p); }
  STDMETHODIMP get_accChildCount(long* n) override { return s_->get_accChildCount(n); }
  STDMETHODIMP get_accChild(VARIANT c, IDispatch** d) override { return s_->get_accChild(c, d); }
  STDMETHODIMP get_accName(VARIANT c, BSTR* n) override { return s_->get_accName(c, n); }
  STDMETHODIMP get_accValue(VARIANT c, BSTR* v) override { return s_->get_accValue(c, v); }
  STDMETHODIMP get_accDescription(VARIANT c, BSTR* d) override {
    return s_->get_accDescription(c, d);
  }
  STDMETHODIMP get_accRole(VARIANT c, VARIANT* r) override { return s_->get_accRole(c, r); }
  STDMETHODIMP get_accState(VARIANT c, VARIANT* s) override { return s_->get_accState(c, s); }
  STDMETHODIMP get_accHelp(VARIANT c, BSTR* h) override { return s_->get_accHelp(c, h); }
  STDMETHODIMP get_accHelpTopic(BSTR* f, VARIANT c, long* t) override {
    return s_->get_accHelpTopic(f, c, t);
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
    return s_->get_accKeyboardShortcut(c, k);
  }
  STDMETHODIMP get_accFocus(VARIANT* f) override { return s_->get_accFocus(f); }
  STDMETHODIMP get_accSelection(VARIANT* s) override { return s_->get_accSelection(s); }
  STDMETHODIMP get_accDefaultAction(VARIANT c, BSTR* a) override {
    return s_->get_accDefaultAction(c, a);
  }
  STDMETHODIMP accSelect(long f, VARIANT c) override { return s_->accSelect(f, c); }
  STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
    return s_->accLocation(x, y, w, h, c);
  }
  STDMETHODIMP accNavigate(long d, VARIANT c, VARIANT* e) override {
    return s_->accNavigate(d, c, e);
  }
  STDMETHODIMP accHitTest(long x, long y, VARIANT* c) override { return s_->accHitTest(x, y, c); }
  STDMETHODIMP accDoDefaultAction(VARIANT c) override { return s_->accDoDefaultAction(c); }
  STDMETHODIMP put_accName(VARIANT c, BSTR n) override { return s_->put_accName(c, n); }
  STDMETHODIMP put_accValue(VARIANT c, BSTR v) override { return s_->put_accValue(c, v); }

 protected:
  explicit ForwardingAccessible(ComPtr<IAccessible> standard) : s_(std::move(standard)) {}
  ~ForwardingAccessible() = default;
  ForwardingAccessible(const ForwardingAccessible&) = delete;
  ForwardingAccessible& operator=(const ForwardingAccessible&) = delete;

  IAccessible* Standard() const { return s_.get(); }
  static bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
  }
  static HRESULT ToLong(VARIANT& out, LONG value) {
    out.vt = VT_I4;
    out.lVal = value;
    return S_OK;
  }
  // A text as the caller's string; S_FALSE and no string for an empty one, unless `emptyToo`.
  static HRESULT ToBstr(const Text& text, BSTR& out, bool emptyToo = false) {
    if (text.empty() && !emptyToo) return S_FALSE;
    out = GetOleacc().sysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                        static_cast<UINT>(text.size()));
    return out != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ComPtr<IAccessible> s_;
};

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
