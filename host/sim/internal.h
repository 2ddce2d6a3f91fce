// What the files of the simulated host share among themselves: the window records of the
// desktop, the scheduler's hooks for the forms' timers, and the pieces Reset clears.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/sim/sim.h"

namespace sim::detail {

struct Window {
  Hwnd handle = 0;
  Hwnd parent = 0;
  std::string className;
  std::string caption;  // ANSI bytes
  std::vector<Hwnd> children;
  bool alive = true;
  bool hung = false;
  bool topmost = false;
  int lengthOverReport = 0;
  std::vector<Message> messages;
  // A chat room's input box posts its content on Enter into `posted`.
  bool chatInput = false;
  std::vector<std::string> posted;
};

// The record of a window, dead or alive; null for a handle never handed out since Reset.
Window* Find(Hwnd window);
// The record of a live window, or null.
Window* FindLive(Hwnd window);

void DisarmForm(const host::Form& form);

// Moves the clock forward (never back).
void AdvanceClockTo(double seconds);

void ResetDesktop();
void ResetClock();
void ResetForms();
void ResetSession();

// Adds to FormEvents.
void RecordEvent(std::string event);

}  // namespace sim::detail
