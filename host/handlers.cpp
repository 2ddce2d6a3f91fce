// The error policy for the program's handlers, and the reports of hosts that end in one:
// a button's click and a timer's tick.
#include "host/handlers.h"

#include <exception>

#include "host/platform.h"

namespace host {
namespace {

constexpr int kErrorBoxStyle = 48;  // OK button, exclamation icon

Text& ProgramTitle() {
  static Text title;
  return title;
}

// A handler stopped halfway has left its action half done (a banner not posted, a window
// not moved back): the user must see that rather than find out later. One box at a time:
// timers keep firing while it is up, and a handler that fails on every tick must not stack
// boxes on the screen.
void Report(const std::exception& error) {
  static bool reporting = false;
  if (reporting) return;
  reporting = true;
  struct Done {
    ~Done() { reporting = false; }
  } done;
  MsgBox(u"An error stopped the last action before it was done:\n" + FromUtf8(error.what()) +
             u"\n\nThe program goes on; you can try again.",
         kErrorBoxStyle, ProgramTitle());
}

}  // namespace

void SetProgramTitle(Text title) {
  ProgramTitle() = std::move(title);
}

void RunHandler(const std::function<void()>& handler) {
  if (!handler) return;
  try {
    handler();
  } catch (const std::exception& error) {
    Report(error);
  }
}

void HostAccess::ButtonClicked(CommandButton& button) {
  // A copy: the handler may replace the button's handler or destroy its form.
  std::function<void()> click = button.Click;
  RunHandler(click);
}

void HostAccess::TimerTicked(Timer& timer) {
  // A tick already queued when the timer was stopped is dropped.
  if (!timer.Owner().Loaded() || !timer.Enabled() || timer.Interval() == 0) return;
  std::function<void()> tick = timer.Tick;
  RunHandler(tick);
}

}  // namespace host
