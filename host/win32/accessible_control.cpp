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

class ControlAccessible final : public ForwardingAccessible<ControlAccessible> {
 public:
  ControlAccessible(ComPtr<IAccessible> standard, Text name, bool button)
      : ForwardingAccessible(std::move(standard)), name_(std::move(name)), button_(button) {}

  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    if (name_.empty() || !IsSelf(child) || name == nullptr) {
      return Standard()->get_accName(child, name);
    }
    return ToBstr(name_, *name);
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
    if (!button_ || !IsSelf(child) || role == nullptr) return Standard()->get_accRole(child, role);
    return ToLong(*role, ROLE_SYSTEM_PUSHBUTTON);
  }

 private:
  Text name_;
  bool button_;
};

LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = static_cast<ControlData*>(::GetPropW(control, kProperty));
  if (data == nullptr) return ::DefWindowProcW(control, message, wParam, lParam);
  WNDPROC original = data->original;
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    LRESULT answer = ControlAccessible::Hand(control, wParam, data->name, data->button);
    if (answer > 0) return answer;
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
