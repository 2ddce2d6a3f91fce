// The labels' tool tips, through the common controls' own timing: one tool per label at the
// label's place, its text asked of the label when the tip shows. The form relays its mouse
// messages; the tip control shows the tip after the pointer rests, below the pointer, and
// hides it after a while, on a press and when the pointer leaves the label.
#include <windows.h>
// after <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "host/win32/native.h"

namespace host {
namespace win32 {
namespace {

// The common controls: loaded from the system folder the first time the pointer comes onto
// a label with a tip, never at start, where they would cost the process more memory than
// everything else it loads then.
bool LoadTooltips() {
  static const bool ok = [] {
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = Proc<Init>(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    return init != nullptr && init(&classes);
  }();
  return ok;
}

// The tool of the label at `index` among the form's labels.
TOOLINFOW Tool(Form::Native& native, std::size_t index) {
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V1_SIZE;  // what every version of the library takes
  tool.hwnd = native.Hwnd();
  tool.uId = index;
  return tool;
}

// Made the first time the pointer moves over a label with a tip: one tool per label, so a
// label given a tip later has its tool already.
HWND TipWindow(Form::Native& native) {
  if (!native.tip.window && LoadTooltips()) {
    // Owned by the form, so that it goes with it and never takes the task bar or the focus.
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, native.Hwnd(),
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) return nullptr;
    const auto& labels = native.form.Labels();
    for (std::size_t i = 0; i < labels.size(); ++i) {
      TOOLINFOW tool = Tool(native, i);
      tool.rect = ToPixelRect(labels[i]->Rect());
      tool.lpszText = LPSTR_TEXTCALLBACKW;
      ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    native.tip.window.reset(tip);
  }
  return native.tip.window.get();
}

bool TipShown(const Form::Native& native) {
  return native.tip.window && ::IsWindowVisible(native.tip.window.get());
}

}  // namespace

void RelayToTip(Form::Native& native, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!native.tip.window) {
    if (message != WM_MOUSEMOVE) return;
    auto [x, y] = ToTwips({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    const Label* label = HostAccess::LabelAt(native.form, x, y);
    if (label == nullptr || label->ToolTip().empty()) return;
  }
  HWND tip = TipWindow(native);
  if (tip == nullptr) return;
  MSG msg = {native.Hwnd(), message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
  ::GetCursorPos(&msg.pt);
  ::SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

bool TipText(Form::Native& native, LPARAM notice) {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(notice);
  if (info->hdr.hwndFrom != native.tip.window.get() || info->hdr.code != TTN_GETDISPINFOW) {
    return false;
  }
  const auto& labels = native.form.Labels();
  native.tip.shown =
      info->hdr.idFrom < labels.size() ? labels[info->hdr.idFrom]->ToolTip() : Text();
  info->lpszText = const_cast<wchar_t*>(Wide(native.tip.shown));
  return true;
}

void HideTip(Form::Native& native) {
  if (TipShown(native)) ::SendMessageW(native.tip.window.get(), TTM_POP, 0, 0);
}

void TipChanged(Form::Native& native, const Label& label) {
  if (!TipShown(native) || native.tip.shown == label.ToolTip()) return;
  TOOLINFOW current = Tool(native, 0);
  if (!::SendMessageW(native.tip.window.get(), TTM_GETCURRENTTOOLW, 0,
                      reinterpret_cast<LPARAM>(&current))) {
    return;
  }
  const auto& labels = native.form.Labels();
  // Back, with the new text, when the pointer comes onto the label again.
  if (current.uId < labels.size() && labels[current.uId].get() == &label) HideTip(native);
}

}  // namespace win32
}  // namespace host
