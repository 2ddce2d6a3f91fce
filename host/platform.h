// Everything a host (host/win32, host/sim) supplies, section by section, and the one door
// (HostAccess) through which it reports what happened. The portable half (host/*.cpp) owns
// every rule; a host only performs primitives. Only the runtime's own files (its portable
// half and the hosts) and tests include this; the program never does.
#pragma once

#include <cmath>

#include "host/courier.h"
#include "host/runtime.h"
#include "host/text.h"
#include "host/user32.h"

namespace host {

// ---- What each host supplies ------------------------------------------------------------
// The program sees most of these where it calls them; a host defines every one.
//
// Windows (runtime.h): Form(), ~Form() with the host's Form::Native; the private
//   CreateNative (made hidden), ShowNative, HideNative; Visible, State, SetState; Handle.
//   And, declared below: WindowPixels, PlaceWindow, ArmTimer, DisarmTimer, RepaintLabel,
//   PushText, GrabPointer, MoveToPointer, FocusChanged.
// Screen (runtime.h): ScreenWidth, ScreenHeight, TwipsPerPixelX, TwipsPerPixelY.
// Events (runtime.h): MsgBox, DoEvents, WaitForEvents, EndProgram; and ServeEvents below.
// One program per session (runtime.h): ProgramLeaving; and below, ClaimSession,
//   WaitForLeavingCopy, BringRunningCopyForward.
// Clock (runtime.h): SecondsSinceMidnight, TimeOfDayText.
// Text code page (text.h): ToAnsi, FromAnsi.
// Chat-client windows (user32.h): FindWindowA, FindWindowExA, GetWindowTextLengthA,
//   GetWindowTextA, SendMessageA, SendMessageTimeoutA, SetWindowPos, ReleaseCapture.
// Courier (courier.h): Deliver, WaitForDeliveries.
//
// The portable half calls the primitives declared here once it has decided they are due.

// Twips as whole pixels at a resolution, to the nearest, and pixels as twips: the one
// conversion each way that every host and the portable half take.
inline int ToPixels(float twips, float twipsPerPixel) {
  return static_cast<int>(std::lround(twips / twipsPerPixel));
}
inline float ToTwips(int pixels, float twipsPerPixel) {
  return static_cast<float>(pixels) * twipsPerPixel;
}

// Where a loaded form's window stands, in whole pixels of the screen (minimised: where it
// restores to). host/geometry.cpp reads it back in twips.
struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
};
PixelRect WindowPixels(const Form& form);
// A window's pixels for a place and size in twips: each rounded on its own, so that a window
// keeps its size in pixels wherever it stands.
inline PixelRect WindowPixelsAt(float left, float top, const TwipsRect& size, float tppX,
                                float tppY) {
  return {ToPixels(left, tppX), ToPixels(top, tppY), ToPixels(size.width, tppX),
          ToPixels(size.height, tppY)};
}
// Moves a loaded form's window to a place in twips, at the pixel nearest to it (minimised: the
// place it restores to). A host may keep windows on its screen.
void PlaceWindow(Form& form, float left, float top);

// Starts the timer ticking every Interval() ms from now (again from now when it ran); each
// tick is reported through HostAccess::TimerTicked.
void ArmTimer(Timer& timer);
// No further ticks; a tick the host has already queued may still be reported.
void DisarmTimer(Timer& timer);
// The label's caption, colour, font or tip changed while its form is loaded: paint it again.
void RepaintLabel(Label& label);
// The program set a text box's text while its form is loaded: show it in the native control.
void PushText(TextBox& box);
// A move that follows the pointer begins (host/drag.cpp): the form's window holds the pointer
// where it is now, and its releases come to it wherever the pointer is. False when it cannot.
bool GrabPointer(Form& form);
// Puts the form's window where the pointer now holds it.
void MoveToPointer(Form& form);
// The keyboard's focus moved on the form from the part `from` (an index into its
// AccessDescription's parts), or its cue began to show (host/keyboard.cpp): draw it again, and
// when it moved, tell screen readers which part has it now.
void FocusChanged(Form& form, int from);

// Serves events until EndProgram (the first form is shown): the main loop.
int ServeEvents();

// One program per Windows session (host/session.cpp holds the rule). What a start found:
// no other copy of the program in the session; one that runs; or one that has begun to leave
// (ProgramLeaving) and has not ended yet. Alone, this start holds the session's claim until
// ProgramLeaving or its end. Never waits on the other copy.
enum class SessionClaim { Alone, OtherRunning, OtherLeaving };
SessionClaim ClaimSession();
// After OtherLeaving: blocks until that copy has ended; this start then holds the claim.
void WaitForLeavingCopy();
// Brings the running copy's shown window (its splash, panel or reason strip, restored if
// minimised; a message box of it, when one is up) to the front, sending it nothing that
// waits for an answer.
void BringRunningCopyForward();

// The keys a form answers itself; the host hands on every other key as it is.
enum class Key { Tab, Space, Enter };

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
  // The pointer moved over the form or while it holds the pointer: true when the form
  // follows it (and was moved), so the move means nothing else.
  static bool PointerMoved(Form& form);
  // The form's window lost the pointer to another: a move that follows it ends there.
  static void CaptureLost(Form& form);
  // The button whose release ends a move that follows the pointer, or 0.
  static int Following(const Form& form) { return form.following_; }
  static void ButtonClicked(CommandButton& button);
  // A tick of an armed timer; one that comes after the timer was stopped is dropped.
  static void TimerTicked(Timer& timer);
  // The user changed a text box's text in the native control.
  static void TextTyped(TextBox& box, Text text) { box.text_ = std::move(text); }
  // A key pressed while the form's window has the focus (shift: with Shift held; Ctrl and Alt
  // combinations are not reported, nor Space and Enter repeating while held). False when the
  // form does not answer it (host/keyboard.cpp).
  static bool KeyPressed(Form& form, Key key, bool shift);
  // A request to close the form's window from outside its spots: Alt+F4, the taskbar's Close,
  // another program's WM_CLOSE.
  static void CloseRequested(Form& form);
  // The Windows session ends (log off, shut down).
  [[noreturn]] static void SessionEnded();
};

}  // namespace host
