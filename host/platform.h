// The contract between the runtime's portable half (host/runtime_common.cpp, host/handlers.cpp)
// and the two hosts (host/win32, host/sim). The portable half owns every rule; a host only
// performs primitives and reports what happened. Only the hosts and their tests include this.
#pragma once

#include "host/runtime.h"

namespace host {

// ---- Primitives each host supplies ------------------------------------------------------
// Declared in runtime.h, where the program sees them:
//   Form's native window: Form(), ~Form() (own Form::Native), and the private CreateNative
//     (hidden), ShowNative, HideNative; Visible, State, SetState; Top, Left, Width, Height,
//     SetTop, SetLeft (move); Handle.
//   The screen: ScreenWidth, ScreenHeight, TwipsPerPixelX, TwipsPerPixelY.
//   A modal box: MsgBox. Events: DoEvents, WaitForEvents, Run, EndProgram.
//   The clock: SecondsSinceMidnight, TimeOfDayText.
// Declared here, called only by the portable half once it has decided they are due:

// Starts the timer ticking every Interval() ms from now (again from now when it ran); each
// tick is reported through HostAccess::TimerTicked.
void ArmTimer(Timer& timer);
// No further ticks; a tick the host has already queued may still be reported.
void DisarmTimer(Timer& timer);
// The label's caption, colour, font or tip changed while its form is loaded: paint it again.
void RepaintLabel(Label& label);
// The program set a text box's text while its form is loaded: show it in the native control.
void PushText(TextBox& box);

// ---- What the hosts report --------------------------------------------------------------
// The one door through which a host reaches a form's plumbing. Each report applies the
// portable rules (click rules, dropped ticks, the error policy of host/handlers.cpp).
struct HostAccess {
  static Form::Native& NativeOf(const Form& form) { return *form.native_; }
  // The label that takes the mouse at a point of the client area (twips), the one latest in
  // z-order (added last), or null.
  static Label* LabelAt(const Form& form, float x, float y) { return form.LabelAt(x, y); }
  // Mouse buttons: 1 left, 2 right, 4 middle; x, y in twips of the client area.
  static void MouseDown(Form& form, int button, int shift, float x, float y) {
    form.MouseDown(button, shift, x, y);
  }
  static void MouseUp(Form& form, int button, int shift, float x, float y) {
    form.MouseUp(button, shift, x, y);
  }
  static void ButtonClicked(CommandButton& button);
  // A tick of an armed timer; one that comes after the timer was stopped is dropped.
  static void TimerTicked(Timer& timer);
  // The user changed a text box's text in the native control.
  static void TextTyped(TextBox& box, Text text) { box.text_ = std::move(text); }
};

}  // namespace host
