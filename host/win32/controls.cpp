// The forms' native controls: text boxes and buttons as child windows, timers, and bringing
// each of them up to date when the program changes a control.
#include <windows.h>

#include <algorithm>
#include <string>

#include "host/win32/accessible.h"
#include "host/win32/native.h"

namespace host {
namespace win32 {
namespace {

const wchar_t* Wide(const Text& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

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

void Form::ControlChanged(Control& control) {
  if (dynamic_cast<Label*>(&control) != nullptr) win32::AnnounceChanges(*native_);
  HWND window = native_->Hwnd();
  if (window == nullptr) return;  // the window picks everything up when it is made
  if (auto* label = dynamic_cast<Label*>(&control)) {
    RECT rect = win32::ToPixelRect(label->Rect());
    ::InvalidateRect(window, &rect, FALSE);
    win32::TipChanged(*native_, *label);
  } else if (auto* timer = dynamic_cast<Timer*>(&control)) {
    std::size_t index = win32::IndexOf(timers_, *timer);
    if (index == timers_.size()) return;
    UINT_PTR id = index + 1;  // one id per timer; 0 is no id
    if (loaded_ && timer->Enabled() && timer->Interval() > 0) {
      ::SetTimer(window, id, timer->Interval(), nullptr);
    } else {
      ::KillTimer(window, id);
    }
  } else if (auto* box = dynamic_cast<TextBox*>(&control)) {
    for (auto& [edit, owner] : native_->edits) {
      if (owner != box) continue;
      int length = ::GetWindowTextLengthW(edit);
      std::wstring shown(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
      shown.resize(static_cast<std::size_t>(::GetWindowTextW(edit, shown.data(), length + 1)));
      const Text& text = box->GetText();
      // The edit reports its change back with EN_CHANGE; only a real change is pushed.
      if (shown.compare(0, shown.size(), reinterpret_cast<const wchar_t*>(text.data()),
                        text.size()) != 0) {
        ::SetWindowTextW(edit, reinterpret_cast<const wchar_t*>(text.c_str()));
      }
    }
  }
}

}  // namespace host
