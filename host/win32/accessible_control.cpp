// The accessible objects of the forms' text boxes and buttons: the system's standard object
// for the control, with the name the form gives it (a text box has none of its own to show)
// and the push button's role for a button. Everything else is the standard object's answer.
#include <memory>

#include "host/accessibility.h"
#include "host/win32/accessible.h"

namespace host::win32 {
namespace {

constexpr wchar_t kProperty[] = L"MarigoldAccessible";

// What the control's window keeps for its own accessible object; freed with the window.
struct ControlData {
  WNDPROC original = nullptr;
  Text name;
  bool button = false;
};

class ControlAccessible final : public AccessibleUnknown<ControlAccessible> {
 public:
  ControlAccessible(IAccessible* standard, Text name, bool button)
      : s_(standard), name_(std::move(name)), button_(button) {}
  ControlAccessible(const ControlAccessible&) = delete;
  ControlAccessible& operator=(const ControlAccessible&) = delete;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return s_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return s_->GetTypeInfo(i, l, t);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                          DISPID* d) override {
    return s_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                   EXCEPINFO* e, UINT* a) override {
    return s_->Invoke(d, r, l, f, p, v, e, a);
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (name_.empty() || !Self(child) || name == nullptr) return s_->get_accName(child, name);
    *name = GetOleacc().sysAllocStringLen(reinterpret_cast<const OLECHAR*>(name_.data()),
                                          static_cast<UINT>(name_.size()));
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!button_ || !Self(child) || role == nullptr) return s_->get_accRole(child, role);
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return s_->get_accParent(p); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override { return s_->get_accChildCount(n); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** d) override {
    return s_->get_accChild(c, d);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override {
    return s_->get_accValue(c, v);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override {
    return s_->get_accDescription(c, d);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override {
    return s_->get_accState(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override {
    return s_->get_accHelp(c, h);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* t) override {
    return s_->get_accHelpTopic(f, c, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
    return s_->get_accKeyboardShortcut(c, k);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override { return s_->get_accFocus(f); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override {
    return s_->get_accSelection(s);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
    return s_->get_accDefaultAction(c, a);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override { return s_->accSelect(f, c); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
    return s_->accLocation(x, y, w, h, c);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT c, VARIANT* e) override {
    return s_->accNavigate(d, c, e);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override {
    return s_->accHitTest(x, y, c);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override {
    return s_->accDoDefaultAction(c);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override {
    return s_->put_accName(c, n);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override {
    return s_->put_accValue(c, v);
  }

 private:
  static bool Self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

  ComPtr<IAccessible> s_;
  Text name_;
  bool button_;
};

LRESULT AnswerControl(HWND control, const ControlData& data, WPARAM wParam) {
  const Oleacc& oleacc = GetOleacc();
  IAccessible* standard = nullptr;
  if (!oleacc.Ok() ||
      FAILED(oleacc.createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&standard)))) {
    return 0;
  }
  auto* object = new ControlAccessible(standard, data.name, data.button);
  LRESULT result = oleacc.lresultFromObject(__uuidof(IAccessible), wParam, object);
  object->Release();  // the result holds its own reference
  return result > 0 ? result : 0;
}

LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = static_cast<ControlData*>(::GetPropW(control, kProperty));
  if (data == nullptr) return ::DefWindowProcW(control, message, wParam, lParam);
  WNDPROC original = data->original;
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    if (LRESULT answer = AnswerControl(control, *data, wParam)) return answer;
  } else if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    std::unique_ptr<ControlData>(static_cast<ControlData*>(::RemovePropW(control, kProperty)));
  }
  return ::CallWindowProcW(original, control, message, wParam, lParam);
}

}  // namespace

void DescribeNativeControl(HWND control, const Control& owner, bool button) {
  auto data = std::make_unique<ControlData>();
  data->name = owner.Owner().Accessibility().ControlName(owner);
  data->button = button;
  if (data->name.empty() && !button) return;  // the standard object says all there is
  data->original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(control, GWLP_WNDPROC));
  if (data->original == nullptr || !::SetPropW(control, kProperty, data.get())) return;
  ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc));
  data.release();  // the window owns it now; WM_NCDESTROY frees it
}

}  // namespace host::win32
