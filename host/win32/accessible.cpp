// The forms' accessible objects: one IAccessible per form window whose children are the
// parts its description names (simple elements, child ids from 1). The window itself is
// answered by the system's standard client object, unless the form is a part of its own.
#include "host/win32/accessible.h"

#include <oleacc.h>

#include <type_traits>

#include "host/accessibility.h"

namespace host {
namespace win32 {

// Kept to the end once loaded: the objects handed to other programs run their code.
const Oleacc& GetOleacc() {
  static const Oleacc oleacc = [] {
    Oleacc o;
    HMODULE acc = LoadSystemLibrary(L"oleacc.dll");
    HMODULE aut = LoadSystemLibrary(L"oleaut32.dll");
    o.lresultFromObject = Proc<decltype(o.lresultFromObject)>(acc, "LresultFromObject");
    o.createStdAccessibleObject =
        Proc<decltype(o.createStdAccessibleObject)>(acc, "CreateStdAccessibleObject");
    o.sysAllocStringLen = Proc<decltype(o.sysAllocStringLen)>(aut, "SysAllocStringLen");
    // Handing the object to another process marshals it, which needs COM on this thread.
    // The user-interface thread lives as long as the program, so it is never left.
    if (o.Ok()) ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return o;
  }();
  return oleacc;
}

namespace {

LONG ChildId(const AccessDescription& description, int part) {
  const auto children = description.Children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (children[i] == part) return static_cast<LONG>(i + 1);
  }
  return CHILDID_SELF;  // the form's own part
}

class FormAccessible final : public ForwardingAccessible<FormAccessible> {
 public:
  FormAccessible(ComPtr<IAccessible> standard, HWND window)
      : ForwardingAccessible(std::move(standard)), window_(window) {}

  // IDispatch stays unanswered: the standard object's Invoke would answer for the window
  // alone, knowing nothing of its parts. Clients use the IAccessible methods directly.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }

  STDMETHODIMP get_accChildCount(long* count) override {
    if (count == nullptr) return E_POINTER;
    Form::Native* native = FormNative(window_);
    if (native == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(native->form.Accessibility().Children().size());
    return S_OK;
  }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
    // The window is no child of its own; a part is a simple element its parent answers for.
    return Answer(
        child, SelfIs::Window, [] { return E_INVALIDARG; },
        [](const Target&, IDispatch*&) { return S_FALSE; }, out);
  }
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    return Answer(
        child, SelfIs::Part, &IAccessible::get_accName,
        [](const Target& t, BSTR& out) { return ToBstr(t.Part().Name(), out); }, name);
  }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
    return Answer(
        child, SelfIs::Part, &IAccessible::get_accValue,
        [](const Target& t, BSTR& out) {
          if (!t.Part().value) return S_FALSE;
          // An empty value is still a value: an empty reason is a reason.
          return ToBstr(t.Part().Value(), out, true);
        },
        value);
  }
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
    return Answer(child, SelfIs::Part, &IAccessible::get_accDescription, None<BSTR>, text);
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
    return Answer(
        child, SelfIs::Part, &IAccessible::get_accRole,
        [](const Target& t, VARIANT& out) {
          return ToLong(out, t.Part().role == AccessRole::PushButton ? ROLE_SYSTEM_PUSHBUTTON
                                                                     : ROLE_SYSTEM_STATICTEXT);
        },
        role);
  }
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
    return Answer(
        child, SelfIs::Part, &IAccessible::get_accState,
        [this](const Target& t, VARIANT& out) {
          const Form& form = t.native->form;
          LONG bits = 0;
          if (!form.Visible()) bits |= STATE_SYSTEM_INVISIBLE;
          if (form.State() == WindowState::Minimized) bits |= STATE_SYSTEM_OFFSCREEN;
          if (t.Part().role == AccessRole::StaticText) bits |= STATE_SYSTEM_READONLY;
          if (t.Part().HasDefaultAction()) bits |= STATE_SYSTEM_FOCUSABLE;
          if (HasFocus(t)) bits |= STATE_SYSTEM_FOCUSED;
          return ToLong(out, bits);
        },
        state);
  }
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
    return Answer(child, SelfIs::Window, &IAccessible::get_accHelp, None<BSTR>, help);
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return Answer(child, SelfIs::Window, &IAccessible::get_accKeyboardShortcut, None<BSTR>, keys);
  }
  STDMETHODIMP get_accFocus(VARIANT* focus) override {
    if (focus == nullptr) return E_POINTER;
    focus->vt = VT_EMPTY;
    Target target;
    HRESULT hr = Resolve(Self(), target);
    if (FAILED(hr)) return hr;
    target.part = target.Description().Focused();
    if (target.part < 0 || !HasFocus(target)) return Standard()->get_accFocus(focus);
    return ToLong(*focus, ChildId(target.Description(), target.part));
  }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Answer(
        child, SelfIs::Part, &IAccessible::get_accDefaultAction,
        [](const Target& t, BSTR& out) {
          return t.Part().HasDefaultAction() ? ToBstr(u"Press", out) : S_FALSE;
        },
        action);
  }
  STDMETHODIMP accSelect(long flags, VARIANT child) override {
    // Nothing to select: the focus moves with Tab.
    return Answer(
        child, SelfIs::Window, [&] { return Standard()->accSelect(flags, child); },
        [](const Target&) { return DISP_E_MEMBERNOTFOUND; });
  }
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height,
                           VARIANT child) override {
    return Answer(
        child, SelfIs::Window,
        [&] { return Standard()->accLocation(left, top, width, height, child); },
        [this](const Target& t, long& x, long& y, long& w, long& h) {
          RECT r = ToPixelRect(t.Description().Rect(t.part));
          POINT origin = {0, 0};
          ::ClientToScreen(window_, &origin);
          x = origin.x + r.left;
          y = origin.y + r.top;
          w = r.right - r.left;
          h = r.bottom - r.top;
          return S_OK;
        },
        left, top, width, height);
  }
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (end == nullptr) return E_POINTER;
    end->vt = VT_EMPTY;
    Target target;
    HRESULT hr = Resolve(start, target);
    if (FAILED(hr)) return hr;
    long count = static_cast<long>(target.Description().Children().size());
    long from = target.self ? 0 : ChildId(target.Description(), target.part);
    long to = 0;
    switch (direction) {
      case NAVDIR_FIRSTCHILD:
      case NAVDIR_LASTCHILD:
        if (!target.self) return E_INVALIDARG;
        to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
        break;
      case NAVDIR_NEXT:
      case NAVDIR_PREVIOUS:
        if (target.self) return Standard()->accNavigate(direction, start, end);
        to = direction == NAVDIR_NEXT ? from + 1 : from - 1;
        break;
      default:
        if (target.self) return Standard()->accNavigate(direction, start, end);
        return S_FALSE;
    }
    if (to < 1 || to > count) return S_FALSE;  // `end` stays empty
    return ToLong(*end, to);
  }
  STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
    if (hit == nullptr) return E_POINTER;
    hit->vt = VT_EMPTY;
    Form::Native* native = FormNative(window_);
    if (native == nullptr) return CO_E_OBJNOTCONNECTED;
    POINT point = {x, y};
    RECT client;
    if (!::ScreenToClient(window_, &point) || !::GetClientRect(window_, &client) ||
        !::PtInRect(&client, point)) {
      return S_FALSE;
    }
    // The same pixel-to-twips step as a mouse press takes.
    const AccessDescription& description = native->form.Accessibility();
    auto [atX, atY] = ToTwips(point);
    int part = description.PartAt(atX, atY);
    return ToLong(*hit, part < 0 ? CHILDID_SELF : ChildId(description, part));
  }
  STDMETHODIMP accDoDefaultAction(VARIANT child) override {
    return Answer(child, SelfIs::Part, &IAccessible::accDoDefaultAction, [this](const Target& t) {
      if (!t.Part().HasDefaultAction()) return DISP_E_MEMBERNOTFOUND;
      if (!t.native->form.Clickable()) return E_FAIL;
      // Run from the window's own queue, as a click would be: what the click opens (a
      // message box) must not hold up the caller, nor run inside its call.
      return ::PostMessageW(window_, kAccessActionMessage, static_cast<WPARAM>(t.part), 0) ? S_OK
                                                                                           : E_FAIL;
    });
  }
  // Names and values come from the form's labels: no client sets them.
  STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  struct Target {
    Form::Native* native = nullptr;
    bool self = false;
    int part = -1;  // -1: the window itself, answered by the standard object
    const AccessDescription& Description() const { return native->form.Accessibility(); }
    const AccessPart& Part() const { return Description().Parts()[static_cast<std::size_t>(part)]; }
  };

  // What CHILDID_SELF stands for when the form is a part of its own: that part, or the
  // window (whose help and place, say, stay the standard object's).
  enum class SelfIs { Part, Window };

  static VARIANT Self() {
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
  }

  // The part has the keyboard's focus, and the window, in view, has the system's (a form
  // hidden a moment ago may still hold it until the next one shows).
  bool HasFocus(const Target& target) const {
    return target.part >= 0 && target.part == target.Description().Focused() &&
           ::GetFocus() == window_ && target.native->form.Visible();
  }

  HRESULT Resolve(const VARIANT& child, Target& target) const {
    target.native = FormNative(window_);
    if (target.native == nullptr) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    const AccessDescription& description = target.Description();
    if (child.lVal == CHILDID_SELF) {
      target.self = true;
      const AccessPart* own = description.FormPart();
      target.part = own == nullptr ? -1 : static_cast<int>(own - description.Parts().data());
      return S_OK;
    }
    const auto children = description.Children();
    if (child.lVal < 1 || child.lVal > static_cast<long>(children.size())) return E_INVALIDARG;
    target.part = children[static_cast<std::size_t>(child.lVal - 1)];
    return S_OK;
  }

  // The start of every answer about one child: the out-parameters checked and emptied, the
  // child looked up, and the window's own answer given where no part stands for it (`window`:
  // the standard object's method, or what to call instead); `part` answers for the parts.
  template <typename ForWindow, typename ForPart, typename... Out>
  HRESULT Answer(const VARIANT& child, SelfIs self, ForWindow window, ForPart part, Out*... out) {
    if ((... || (out == nullptr))) return E_POINTER;
    (Empty(*out), ...);
    Target target;
    HRESULT hr = Resolve(child, target);
    if (FAILED(hr)) return hr;
    if (target.part < 0 || (target.self && self == SelfIs::Window)) {
      if constexpr (std::is_member_function_pointer_v<ForWindow>) {
        return (Standard()->*window)(child, out...);
      } else {
        return window();
      }
    }
    return part(target, *out...);
  }
  static void Empty(BSTR& text) { text = nullptr; }
  static void Empty(VARIANT& value) { value.vt = VT_EMPTY; }
  static void Empty(IDispatch*& object) { object = nullptr; }
  static void Empty(long& number) { number = 0; }
  // A part's answer where the description has nothing to say.
  template <typename Out>
  static HRESULT None(const Target&, Out&) {
    return S_FALSE;
  }

  HWND window_;
};

}  // namespace

LRESULT AnswerGetObject(Form::Native& native, WPARAM wParam, LPARAM lParam) {
  HWND window = native.Hwnd();
  if (static_cast<LONG>(lParam) != OBJID_CLIENT || native.form.Accessibility().Parts().empty()) {
    return ::DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
  }
  LRESULT result = FormAccessible::Hand(window, wParam, window);
  return result != 0 ? result : ::DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
}

void RunAccessAction(Form::Native& native, WPARAM part) {
  AccessDescription& description = native.form.Accessibility();
  // The window may have gone since the action was asked for, and a second request must not
  // open a second box behind the first one's back: the action checks again.
  if (part < description.Parts().size()) description.DoDefaultAction(static_cast<int>(part));
}

void FocusArrivedOrLeft(Form::Native& native, bool arrived) {
  const AccessDescription& description = native.form.Accessibility();
  int part = description.Focused();
  if (part < 0 || description.Parts()[static_cast<std::size_t>(part)].IsForm()) return;
  RECT focus = SpotPixels(native.form, part);
  if (description.FocusShown()) ::InvalidateRect(native.Hwnd(), &focus, FALSE);
  // The system tells of the window; the spot inside it is ours to tell.
  if (arrived) {
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, native.Hwnd(), OBJID_CLIENT, ChildId(description, part));
  }
}

void AnnounceChanges(Form::Native& native) {
  AccessDescription& description = native.form.Accessibility();
  if (description.Parts().empty()) return;
  std::vector<AccessChange> changes = description.TakeChanges();
  HWND window = native.Hwnd();
  if (window == nullptr) return;  // nobody can have heard of the form yet
  for (const AccessChange& change : changes) {
    LONG child = ChildId(description, change.part);
    if (change.name) ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, child);
    if (change.value) ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, child);
  }
}

}  // namespace win32

void FocusChanged(Form& form, int from) {
  HWND window = HostAccess::NativeOf(form).Hwnd();
  if (window == nullptr) return;
  const AccessDescription& description = form.Accessibility();
  int to = description.Focused();
  for (int part : {from, to}) {
    RECT spot = win32::SpotPixels(form, part);
    if (!::IsRectEmpty(&spot)) ::InvalidateRect(window, &spot, FALSE);
  }
  if (to != from && ::GetFocus() == window) {
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, win32::ChildId(description, to));
  }
}

}  // namespace host
