// How the runtime runs the program's handlers: the one error policy both hosts share.
#pragma once

#include <functional>

namespace host {

// Runs a handler (an event of a form or control). An error that escapes it ends that
// handler, the user is told in a message box, and the program goes on with the next event.
void RunHandler(const std::function<void()>& handler);

}  // namespace host
