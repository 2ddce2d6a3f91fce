// The simulated desktop the tests drive: an in-memory window tree with a log of the
// messages each window received, a stand-in chat client, a virtual clock that fires the
// program's timers, scripted message boxes and mouse input.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/runtime.h"
#include "host/text.h"
#include "host/user32.h"

namespace sim {

using host::Hwnd;
using host::Text;

// Thrown by host::EndProgram in the simulation; tests catch it where the process would end.
struct ProgramEnded {};

// Clears every window, timer, scheduled event, message box and counter; the clock goes to
// 12:00:00 (noon) of day 0 and the screen to 1024 x 768 pixels at 15 twips per pixel.
// Forms still alive must have been destroyed first.
void Reset();

// ---- Window tree -----------------------------------------------------------------------
// Windows are created in order; children are listed in creation order, top-level windows
// too. Class names compare case-insensitively, as user32 does.
Hwnd CreateWindow(Hwnd parent, const std::string& className, const Text& caption = u"");
void DestroyWindow(Hwnd window);  // with its children
bool IsWindow(Hwnd window);
// The caption is held as ANSI (Windows-1252) bytes, as a real window holds it.
void SetCaption(Hwnd window, const Text& caption);
void SetCaptionBytes(Hwnd window, const std::string& bytes);
std::string CaptionBytes(Hwnd window);
// Makes GetWindowTextLengthA report `extra` more bytes than the caption has, as it can on a
// double-byte code page.
void SetLengthOverReport(Hwnd window, int extra);

struct Message {
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  std::string text;                // for WM_SETTEXT: the NUL-terminated bytes lParam pointed to
  std::uint32_t lParamTarget = 0;  // for WM_SYSCOMMAND: the 32-bit value lParam pointed to
};
// Every message the window received (sent and processed), in order.
const std::vector<Message>& Messages(Hwnd window);

// A hung window processes nothing: SendMessageTimeoutA gives up (returns false) and
// SendMessageA would block forever, so the simulation fails the test if it is used on one.
void SetHung(Hwnd window, bool hung);
// Thrown by SendMessageA on a hung window. It is a std::logic_error, so a handler's error
// trap can swallow it; every one is therefore also listed in Faults(), which a test's
// TearDown can check to be empty.
struct HungWindowSend : std::logic_error {
  using std::logic_error::logic_error;
};
const std::vector<std::string>& Faults();
// SetWindowPos with kHwndTopmost puts the window here.
bool IsTopmost(Hwnd window);
// Counters for the host calls the program made (to prove it does not spin or block).
int SendMessageCalls();
int SendMessageTimeoutCalls();
unsigned LastTimeoutMs();
unsigned LastTimeoutFlags();
int ReleaseCaptureCalls();

// ---- Stand-in chat client ---------------------------------------------------------------
// The frame (class "AOL Frame25") with its "MDIClient"; AOL Child windows are added to it.
struct ChatClient {
  Hwnd frame = 0;
  Hwnd mdi = 0;
};
ChatClient StartChatClient();
// A Welcome window captioned "Welcome, " + name + "!".
Hwnd AddWelcome(const ChatClient& client, const Text& screenName);
// Any AOL Child with the given caption.
Hwnd AddChild(const ChatClient& client, const Text& caption);
// A chat room: an AOL Child holding RICHCNTL (transcript), RICHCNTL (input box),
// _AOL_Listbox, _AOL_Icon and _AOL_Static, in that child order. The input box takes
// WM_SETTEXT as its whole content; WM_CHAR 13 posts the content to the room and empties it.
struct ChatRoom {
  Hwnd window = 0;
  Hwnd transcript = 0;
  Hwnd input = 0;
};
ChatRoom AddChatRoom(const ChatClient& client, const Text& caption = u"Lobby");
// The lines posted to the room so far, as the ANSI bytes the input box held at Enter.
const std::vector<std::string>& PostedLines(const ChatRoom& room);
// The same lines converted back to text.
std::vector<Text> PostedTexts(const ChatRoom& room);

// ---- Clock, events and input ----------------------------------------------------------
// The virtual clock in seconds since midnight of day 0; it runs on past 86,400 and
// host::SecondsSinceMidnight gives it modulo one day, as a float.
void SetClock(double secondsSinceMidnight);
double Now();
// Runs the program for `seconds` of virtual time: the clock jumps from event to event
// (timer ticks, scheduled events), firing each when it falls due.
void RunFor(double seconds);
// Schedules an action (a click, a window change) after `delay` seconds of virtual time; it
// runs when events are processed at or after that time.
void At(double delay, std::function<void()> action);
// How often the program processed events and how often it blocked waiting for them.
int DoEventsCalls();
int WaitCalls();
// When set, every host::SecondsSinceMidnight call advances the clock by this many seconds
// first (a clock that moves while the program works); 0 by default.
void SetClockStepPerRead(double seconds);

// Mouse input at a point of the form's client area, in twips. Press and release are
// delivered at once, as the native window would deliver them. button: 1 left, 2 right,
// 4 middle.
void Press(host::Form& form, float x, float y, int button = 1);
void Release(host::Form& form, float x, float y, int button = 1);
void Click(host::Form& form, float x, float y, int button = 1);
// The button whose release ends a move that follows the pointer (host::DragWindow), or 0.
int FollowingButton(const host::Form& form);
// The pointer moves over the form, or anywhere while the form holds it: true when the form
// follows it. Each move of a form that follows the pointer is a "follow" in FormEvents.
bool MovePointer(host::Form& form);
// Input to a form that is not visible or is minimised is counted here. It is still
// delivered unless SetDropHiddenInput(true): a real user cannot hit such a window, so a
// strict test turns that on (Reset turns it off).
int HiddenInputs();
void SetDropHiddenInput(bool drop);
// Clicks a control (the centre of its visible part) as the user would.
void Click(host::Label& label);
void Click(host::CommandButton& button);
// The user types into a text box (replacing its text) and presses keys in it.
void Type(host::TextBox& box, const Text& text);
// Keys pressed on the form's window while it has the focus, in order, as the native window
// reports them: "Tab", "Shift+Tab", "Space", "Enter". Each one the form does not answer
// itself is listed in the result.
std::vector<std::string> PressKeys(host::Form& form, const std::vector<std::string>& keys);
// A request to close the form's window (Alt+F4, the taskbar's Close, WM_CLOSE).
void RequestClose(host::Form& form);
// The Windows session ends (log off, shut down).
void EndSession();

// ---- Message boxes ---------------------------------------------------------------------
struct Box {
  Text prompt;
  int style = 0;
  Text title;
  double shownAt = 0;
  std::vector<std::string> visibleForms;  // names of the forms visible while it was up
};
const std::vector<Box>& Boxes();
// Called while a box is up (the box's modal loop): e.g. sim::RunFor(90) to keep it open 90 s
// with timers firing, or clicks. The returned value is the box's answer. Default: IDOK (1).
void OnMessageBox(std::function<int(const Box&)> whileOpen);

// ---- Screen and forms ------------------------------------------------------------------
void SetScreenPixels(int width, int height, float twipsPerPixel = 15.0f);
// A host that keeps windows on screen: positions set above or left of the screen clamp to 0.
void SetClampToScreen(bool clamp);
// Every top the form's window was moved to, in twips as set, in order (the slide's moves).
std::vector<float> TopHistory(const host::Form& form);
// How often the runtime told the host that a loaded form's control changed (a label to be
// painted again, a text box's text to be shown).
int Updates(const host::Control& control);
// Whether the host has the timer armed (its ticks come from the virtual clock).
bool Armed(const host::Timer& timer);
// Events: the order in which forms were shown, hidden and loaded, e.g. "Form3.hide", moved with
// the pointer ("Form1.follow"), the
// keyboard's focus drawn again on a form ("Form1.focus 1", the part it moved from), and the
// program's dealings with another copy of it ("copy.forward", "copy.waited", "leaving").
const std::vector<std::string>& FormEvents();

// ---- Another copy of the program in the Windows session -------------------------------
enum class OtherCopy { None, Running, Leaving };
// None by default. A leaving copy ends `endsAfter` seconds of virtual time from now.
void SetOtherCopy(OtherCopy copy, double endsAfter = 0);

}  // namespace sim
