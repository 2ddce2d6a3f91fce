// The program without a mouse: the focus among a form's push buttons, the keys that move and
// press it, and the requests to close a window or to end with the Windows session.
#include <algorithm>

#include "host/accessibility.h"
#include "host/handlers.h"
#include "host/platform.h"

namespace host {

std::vector<int> AccessDescription::Focusable() const {
  std::vector<int> order;
  for (int part : Children()) {
    if (parts_[static_cast<std::size_t>(part)].HasDefaultAction()) order.push_back(part);
  }
  const AccessPart* own = FormPart();
  if (order.empty() && own != nullptr && own->HasDefaultAction()) {
    order.push_back(static_cast<int>(own - parts_.data()));
  }
  return order;
}

int AccessDescription::Focused() const {
  std::vector<int> order = Focusable();
  if (order.empty()) return -1;
  return std::find(order.begin(), order.end(), focus_) != order.end() ? focus_ : order.front();
}

bool HostAccess::KeyPressed(Form& form, Key key, bool shift) {
  AccessDescription& access = form.Accessibility();
  const std::vector<int> order = access.Focusable();
  // A minimised window can hold the focus; like a click, a key acts only on a window in view.
  if (order.empty() || !form.Clickable()) return false;
  const int from = access.Focused();
  const bool cueHidden = !access.FocusShown();
  access.keyUsed_ = true;
  if (key == Key::Tab) {
    auto at = std::find(order.begin(), order.end(), from) - order.begin();
    auto count = static_cast<decltype(at)>(order.size());
    access.focus_ = order[static_cast<std::size_t>((at + (shift ? count - 1 : 1)) % count)];
  }
  if (cueHidden || access.focus_ != from) FocusChanged(form, from);
  // Space and Enter press the focused part through its click's own handler.
  if (key != Key::Tab) access.DoDefaultAction(access.Focused());
  return true;
}

void HostAccess::CloseRequested(Form& form) {
  // A hidden window cannot be closed by the user; only another program could ask, and a
  // request for a window out of view must not start anything behind the user's back.
  if (!form.Visible()) return;
  RunHandler([&form] { form.Form_QueryUnload(); });
}

void HostAccess::SessionEnded() {
  // No box and no farewell: anything that waits on the user would hold up the log-off.
  EndProgram();
}

}  // namespace host
