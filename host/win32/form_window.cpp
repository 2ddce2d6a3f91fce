// The forms' top-level window: one window class for every form, creation, showing and
// hiding, and the window procedure that turns messages into the form's events.
#include <windows.h>
// after <windows.h>, which it needs
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "host/win32/accessible.h"
#include "host/win32/native.h"

namespace host {
namespace {

using win32::Wide;

// Posted by a form hidden while it was the active window; see Form::HideNative.
constexpr UINT kSettleActivationMessage = WM_APP + 0x2B;

int ShiftState(WPARAM keys) {
  int shift = 0;
  if (keys & MK_SHIFT) shift |= 1;
  if (keys & MK_CONTROL) shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

void OnButton(Form::Native& native, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  struct Mapping {
    UINT message;
    int button;
    bool down;
  };
  static constexpr Mapping kButtons[] = {
      {WM_LBUTTONDOWN, 1, true}, {WM_RBUTTONDOWN, 2, true}, {WM_MBUTTONDOWN, 4, true},
      {WM_LBUTTONUP, 1, false},  {WM_RBUTTONUP, 2, false},  {WM_MBUTTONUP, 4, false},
  };
  const Mapping* found = std::find_if(std::begin(kButtons), std::end(kButtons),
                                      [&](const Mapping& m) { return m.message == message; });
  if (found == std::end(kButtons)) return;
  auto [x, y] = win32::ToTwips({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  int button = found->button;
  int shift = ShiftState(wParam);
  if (found->down) {
    // Keeps the release coming here even when it happens outside the window.
    ::SetCapture(window);
    HostAccess::MouseDown(native.form, button, shift, x, y);
  } else {
    if (::GetCapture() == window) ::ReleaseCapture();
    HostAccess::MouseUp(native.form, button, shift, x, y);
  }
}

void OnCommand(Form::Native& native, WPARAM wParam, LPARAM lParam) {
  HWND child = reinterpret_cast<HWND>(lParam);
  WORD code = HIWORD(wParam);
  if (code == EN_CHANGE) {
    for (auto& [edit, box] : native.edits) {
      if (edit == child) HostAccess::TextTyped(*box, win32::WindowText(edit));
    }
  } else if (code == BN_CLICKED) {
    for (auto& [hwnd, button] : native.buttons) {
      if (hwnd == child) HostAccess::ButtonClicked(*button);
    }
  }
}

// The keys the form answers itself; true when it did. Ctrl and Alt combinations are the
// system's, and a held Space or Enter presses once.
bool OnKey(Form::Native& native, WPARAM key, LPARAM flags) {
  if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0) return false;
  bool repeat = (flags & 0x40000000) != 0;
  switch (key) {
    case VK_TAB:
      return HostAccess::KeyPressed(native.form, Key::Tab, ::GetKeyState(VK_SHIFT) < 0);
    case VK_SPACE:
      return !repeat && HostAccess::KeyPressed(native.form, Key::Space, false);
    case VK_RETURN:
      return !repeat && HostAccess::KeyPressed(native.form, Key::Enter, false);
    default:
      return false;
  }
}

void OnTimer(Form::Native& native, WPARAM id) {
  const auto& timers = native.form.Timers();
  if (id == 0 || id > timers.size()) return;
  HostAccess::TimerTicked(*timers[id - 1]);
}

// The focus goes to the first text box in tab order, as a dialog's would.
void FocusFirstTextBox(Form::Native& native) {
  HWND first = nullptr;
  int firstIndex = 0;
  for (auto& [edit, box] : native.edits) {
    if (first == nullptr || box->TabIndex() < firstIndex) {
      first = edit;
      firstIndex = box->TabIndex();
    }
  }
  if (first != nullptr) ::SetFocus(first);
}

// A hidden form that is still the active window once its handler is done had nothing of the
// program's shown after it: the activation goes on to the next window in view, as hiding it
// with ShowWindow would have passed it at once.
void SettleActivation(HWND hidden) {
  if (::GetActiveWindow() != hidden || ::IsWindowVisible(hidden)) return;
  for (HWND next = ::GetWindow(hidden, GW_HWNDFIRST); next != nullptr;
       next = ::GetWindow(next, GW_HWNDNEXT)) {
    if (next != hidden && ::IsWindowVisible(next) && ::IsWindowEnabled(next)) {
      ::SetForegroundWindow(next);
      return;
    }
  }
}

// A form window keeps its form's native half in GWLP_USERDATA, from WM_NCCREATE until the
// form goes.
Form::Native* UserData(HWND window) {
  return reinterpret_cast<Form::Native*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Form::Native* native = UserData(window);
  if (native == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  // No exception may cross the system's frames. The program's handlers never throw here
  // (host/handlers.cpp reports their errors); this catches the host's own, in painting say,
  // where there is no action of the user's to report.
  try {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the back colour in its off-screen buffer
      case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        if (dc != nullptr) win32::PaintForm(*native, dc);
        ::EndPaint(window, &paint);
        return 0;
      }
      case WM_PRINTCLIENT:
        win32::PaintForm(*native, reinterpret_cast<HDC>(wParam));
        return 0;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        win32::RelayToTip(*native, message, wParam, lParam);
        OnButton(*native, window, message, wParam, lParam);
        return 0;
      case WM_MOUSEMOVE:
        // A move that carries the window along is no rest on a label.
        if (!HostAccess::PointerMoved(native->form)) {
          win32::RelayToTip(*native, message, wParam, lParam);
        }
        return 0;
      case WM_NOTIFY:
        if (win32::TipText(*native, lParam)) return 0;
        break;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window) HostAccess::CaptureLost(native->form);
        break;
      case WM_COMMAND:
        OnCommand(*native, wParam, lParam);
        return 0;
      case WM_TIMER:
        OnTimer(*native, wParam);
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !native->edits.empty()) {
          FocusFirstTextBox(*native);
          return 0;
        }
        break;
      case WM_GETOBJECT:
        return win32::AnswerGetObject(*native, wParam, lParam);
      case win32::kAccessActionMessage:
        win32::RunAccessAction(*native, wParam);
        return 0;
      case WM_KEYDOWN:
        if (OnKey(*native, wParam, lParam)) return 0;
        break;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        win32::FocusArrivedOrLeft(*native, message == WM_SETFOCUS);
        break;
      case kSettleActivationMessage:
        SettleActivation(window);
        return 0;
      case WM_CLOSE:
        // The form decides; the window itself is never destroyed before the program ends.
        HostAccess::CloseRequested(native->form);
        return 0;
      case WM_ENDSESSION:
        if (wParam) HostAccess::SessionEnded();
        return 0;
      default:
        break;
    }
  } catch (const std::exception&) {
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

HINSTANCE Instance() {
  return ::GetModuleHandleW(nullptr);
}

win32::UniqueIcon LoadIconSized(int id, int size) {
  return win32::UniqueIcon(static_cast<HICON>(
      ::LoadImageW(Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

}  // namespace

namespace win32 {

Form::Native* FormNative(HWND window) {
  wchar_t cls[32] = {};
  if (!::IsWindow(window) || ::GetClassNameW(window, cls, 32) == 0 ||
      std::wcscmp(cls, win32::kFormClass) != 0) {
    return nullptr;
  }
  Form::Native* native = UserData(window);
  return native != nullptr && native->Hwnd() == window ? native : nullptr;
}

bool DialogKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
  Form::Native* native = FormNative(root);
  if (native == nullptr || (native->edits.empty() && native->buttons.empty())) return false;
  // Enter stays the edit's, which takes it as nothing: the strip has no default button.
  if (msg.wParam == VK_RETURN) return false;
  return ::IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace win32

Form::Form(std::string name) : name_(std::move(name)), native_(std::make_unique<Native>(*this)) {}

Form::~Form() {
  // The window may still send messages while it is destroyed; none reaches this form.
  if (native_ && native_->window) ::SetWindowLongPtrW(native_->Hwnd(), GWLP_USERDATA, 0);
}

void Form::CreateNative() {
  if (native_->window) return;
  win32::RegisterWindowClass(win32::kFormClass, FormProc);
  Native& native = *native_;
  // Scaled with the window: the picture keeps covering it, and the labels its glyphs.
  native.picture = win32::LoadPictureResource(picture_, win32::ScreenDpi(LOGPIXELSX),
                                              win32::ScreenDpi(LOGPIXELSY));
  if (icon_ != 0) {
    native.bigIcon = LoadIconSized(icon_, 32);
    native.smallIcon = LoadIconSized(icon_, 16);
  }

  // No frame and no caption bar; the system menu and minimise box let the task bar
  // minimise and restore the window.
  DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  DWORD exStyle = showInTaskbar_ ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  PixelRect at =
      WindowPixelsAt(design_.left, design_.top, design_, TwipsPerPixelX(), TwipsPerPixelY());
  RECT rect = {at.left, at.top, at.left + at.width, at.top + at.height};
  ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  HWND window = ::CreateWindowExW(exStyle, win32::kFormClass, Wide(caption_), style, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                  nullptr, Instance(), &native);
  if (window == nullptr) return;
  native.window.reset(window);
  if (native.bigIcon) {
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(native.bigIcon.get()));
  }
  if (native.smallIcon) {
    ::SendMessageW(window, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(native.smallIcon.get()));
  }
  win32::CreateChildControls(native);
}

void Form::ShowNative() {
  HWND window = native_->Hwnd();
  if (window == nullptr) return;
  bool wasHidden = ::IsWindowVisible(window) == FALSE;
  // A box the form was hidden for gives the activation back to it, its owner, while it is
  // still hidden (host/win32/msgbox.cpp); the keyboard's focus it took then reached no screen.
  bool focusedWhileHidden = wasHidden && ::GetFocus() == window;
  ::ShowWindow(window, SW_SHOW);
  // Shown after a message box, the form comes up when the box has passed the activation on to
  // some other program's window: it takes it back (the user's last input was the program's),
  // or the keys the user goes on typing land there.
  if (wasHidden && !::IsIconic(window)) ::SetForegroundWindow(window);
  if (focusedWhileHidden) {
    // Taken again now that the window is on the screen, where the keys are delivered.
    ::SetFocus(nullptr);
    ::SetFocus(window);
  }
  ::UpdateWindow(window);
  if (!native_->shownOnce) {
    native_->shownOnce = true;
    FocusFirstTextBox(*native_);
  }
}

void Form::HideNative() {
  if (!native_->window) return;
  win32::HideTip(*native_);
  HWND window = native_->Hwnd();
  bool wasActive = ::GetActiveWindow() == window;
  // Hidden without passing the activation on, as a dialog ends: the window that comes next
  // (the panel after the splash or the strip, a message box) takes it in this same thread.
  // Passed to another program's window first, it could come back from there after the next
  // form was shown, and take the keyboard focus from it.
  ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (wasActive) ::PostMessageW(window, kSettleActivationMessage, 0, 0);
}

bool Form::Visible() const {
  return native_->window && ::IsWindowVisible(native_->Hwnd()) != FALSE;
}

WindowState Form::State() const {
  if (native_->window && ::IsIconic(native_->Hwnd())) return WindowState::Minimized;
  return WindowState::Normal;
}

void Form::SetState(WindowState state) {
  HWND window = native_->Hwnd();
  if (window == nullptr) return;
  if (state == WindowState::Minimized) {
    if (!::IsIconic(window)) ::ShowWindow(window, SW_MINIMIZE);
  } else if (::IsIconic(window)) {
    ::ShowWindow(window, SW_RESTORE);
  }
}

Hwnd Form::Handle() const {
  return reinterpret_cast<Hwnd>(native_->Hwnd());
}

}  // namespace host
