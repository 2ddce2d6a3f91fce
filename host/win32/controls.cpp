// The forms' native controls: text boxes and buttons as child windows, timers, and the
// primitives that bring them up to date when the program changes a control.
#include <windows.h>

#include <algorithm>
#include <string>

#include "host/win32/accessible.h"
#include "host/win32/native.h"

namespace host {
namespace win32 {
namespace {

std::size_t IndexOf(const auto& controls, const Control& control) {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].get() == &control) return i;
  }
  return controls.size();
}

HWND MakeChild(HWND parent, DWORD exStyle, const wchar_t* cls, const Text& text, DWORD style,
               const TwipsRect& rect, int id) {
  RECT px = ToPixelRect(rect);
  return ::CreateWindowExW(exStyle, cls, Wide(text), WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                           px.left, px.top, px.right - px.left, px.bottom - px.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

void SetFont(HWND control, HFONT font) {
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace

void CreateChildControls(Form::Native& native) {
  HWND window = native.Hwnd();
  const Form& form = native.form;
  // Created in tab order, which is the order the focus moves in.
  struct Entry {
    int tabIndex;
    TextBox* box;
    CommandButton* button;
  };
  std::vector<Entry> entries;
  for (const auto& box : form.TextBoxes()) entries.push_back({box->TabIndex(), box.get(), nullptr});
  for (const auto& button : form.Buttons()) {
    entries.push_back({button->TabIndex(), nullptr, button.get()});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.tabIndex < b.tabIndex; });
  int id = 100;
  for (const Entry& entry : entries) {
    if (entry.box != nullptr) {
      HWND edit = MakeChild(window, WS_EX_CLIENTEDGE, L"EDIT", entry.box->GetText(), ES_AUTOHSCROLL,
                            entry.box->Rect(), id++);
      if (edit == nullptr) continue;
      SetFont(edit, FontFor(native, *entry.box, entry.box->Font()));
      native.edits.emplace_back(edit, entry.box);
      DescribeNativeControl(edit, *entry.box, false);
    } else {
      // A plain push button, not the default one: Enter and Escape press nothing.
      HWND button = MakeChild(window, 0, L"BUTTON", entry.button->Caption(), BS_PUSHBUTTON,
                              entry.button->Rect(), id++);
      if (button == nullptr) continue;
      SetFont(button, static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
      native.buttons.emplace_back(button, entry.button);
      DescribeNativeControl(button, *entry.button, true);
    }
  }
}

}  // namespace win32

void RepaintLabel(Label& label) {
  Form::Native& native = HostAccess::NativeOf(label.Owner());
  win32::AnnounceChanges(native);
  if (native.Hwnd() == nullptr) return;
  RECT rect = win32::ToPixelRect(label.Rect());
  ::InvalidateRect(native.Hwnd(), &rect, FALSE);
  win32::TipChanged(native, label);
}

// One timer id per timer of the form, its place among them plus one; 0 is no id.
void ArmTimer(Timer& timer) {
  const Form& form = timer.Owner();
  HWND window = HostAccess::NativeOf(form).Hwnd();
  std::size_t index = win32::IndexOf(form.Timers(), timer);
  if (window == nullptr || index == form.Timers().size()) return;
  ::SetTimer(window, index + 1, timer.Interval(), nullptr);
}

void DisarmTimer(Timer& timer) {
  const Form& form = timer.Owner();
  HWND window = HostAccess::NativeOf(form).Hwnd();
  std::size_t index = win32::IndexOf(form.Timers(), timer);
  if (window == nullptr || index == form.Timers().size()) return;
  ::KillTimer(window, index + 1);
}

void PushText(TextBox& box) {
  for (auto& [edit, owner] : HostAccess::NativeOf(box.Owner()).edits) {
    // The edit reports its change back with EN_CHANGE; only a real change is pushed.
    if (owner == &box && win32::WindowText(edit) != box.GetText()) {
      ::SetWindowTextW(edit, win32::Wide(box.GetText()));
    }
  }
}

}  // namespace host
