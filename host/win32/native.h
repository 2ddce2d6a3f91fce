// What a form holds on the Windows side: its window, tool tip, child controls, picture,
// icons and fonts, plus the helpers the runtime's files share (pixels, colours, classes).
#pragma once

#include <windows.h>

#include <unordered_map>
#include <vector>

#include "host/platform.h"
#include "host/win32/support.h"

namespace host {

struct Form::Native {
  explicit Native(Form& owner) : form(owner) {}

  struct CachedFont {
    FontSpec made;  // what the font was made from
    int dpi = 0;
    win32::UniqueFont font;  // null: the stock dialog font
  };

  Form& form;
  // Declared before the window so that they outlive it: the window and its controls
  // refer to them until it is destroyed.
  win32::Picture picture;
  win32::UniqueIcon bigIcon;
  win32::UniqueIcon smallIcon;
  std::unordered_map<const Control*, CachedFont> fonts;
  win32::UniqueWindow window;
  // The labels' tool tip control, made the first time the pointer comes onto a label with
  // a tip. Owned by the window as well; declared after it so that it goes first.
  struct Tip {
    win32::UniqueWindow window;
    Text shown;  // the text it shows, or last showed
  } tip;
  // Where the pointer holds the window in a move that follows it (pixels from its top-left
  // corner).
  POINT grab = {};
  std::vector<std::pair<HWND, TextBox*>> edits;
  std::vector<std::pair<HWND, CommandButton*>> buttons;
  bool shownOnce = false;

  HWND Hwnd() const { return window.get(); }
};

namespace win32 {

// The one window class of every form.
inline constexpr wchar_t kFormClass[] = L"MarigoldForm";
// The form behind one of the program's form windows while both live; null for any other
// window (an accessible object handed out may outlive its form).
Form::Native* FormNative(HWND window);
// A key for a form with native controls (the reason strip) moves the focus among them as in a
// dialog: Tab, Shift+Tab. True when it was handled so; the caller then dispatches nothing.
bool DialogKey(MSG& msg);

// A DLL from the system folder, never one from beside the program; null when missing.
HMODULE LoadSystemLibrary(const wchar_t* name);
// An entry point of a DLL loaded at run time, as the function type it really has, or null.
template <typename F>
F Proc(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through a plain function pointer: GetProcAddress's type says nothing of the real one.
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// Registers one of the program's window classes (this module, arrow cursor) the first time
// a window of it is made; later calls do nothing.
void RegisterWindowClass(const wchar_t* name, WNDPROC proc, UINT style = 0);

// A point of the client area in pixels, as twips: the one step a press, a tip and a hit
// test take.
struct TwipsPoint {
  float x, y;
};
inline TwipsPoint ToTwips(POINT client) {
  return {host::ToTwips(client.x, TwipsPerPixelX()), host::ToTwips(client.y, TwipsPerPixelY())};
}

// A rectangle in twips of the client area, as pixels at the screen's resolution.
RECT ToPixelRect(const TwipsRect& rect);
// 0x00BBGGRR as is; a system colour 0x800000nn through GetSysColor(nn).
COLORREF ResolveColor(Color color);
// The screen's dots per inch across (LOGPIXELSX) or down (LOGPIXELSY), 96 when unknown.
int ScreenDpi(int index);
// The font for a control's FontSpec, created once and cached on the form; the stock
// dialog font for the default.
HFONT FontFor(Form::Native& native, const Control& control, const FontSpec& wanted);

// Painting into any DC (the window's, or one handed over with WM_PRINTCLIENT).
void PaintForm(Form::Native& native, HDC target);

// The keyboard's focus. Where a part of the form's description lies, in pixels of the client
// area; empty for none (-1) and for the form itself, on which no focus is drawn.
RECT SpotPixels(const Form& form, int part);
// The window gained or lost the focus: its drawn focus comes or goes, and a screen reader
// hears which part has it.
void FocusArrivedOrLeft(Form::Native& native, bool arrived);

// Child controls, made when the window is created.
void CreateChildControls(Form::Native& native);

// Tool tips. A mouse message of the form's window, for the tip control to time and place
// the tip by.
void RelayToTip(Form::Native& native, UINT message, WPARAM wParam, LPARAM lParam);
// The tip control asks for a label's text (WM_NOTIFY): true when the notice was that.
bool TipText(Form::Native& native, LPARAM notice);
// The window hiding: the tip goes until the pointer finds another label.
void HideTip(Form::Native& native);
// A label's tip text changed: a tip showing the old text goes.
void TipChanged(Form::Native& native, const Label& label);

}  // namespace win32
}  // namespace host
