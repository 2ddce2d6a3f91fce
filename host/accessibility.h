// What a screen reader or an automation script learns of a form: its hot spots and read-outs
// as named parts with a role, a value and the click each one stands for. The forms fill it
// in; each host answers the platform's accessibility calls from it.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "host/runtime.h"

namespace host {

enum class AccessRole { PushButton, StaticText };

struct AccessPart {
  // Empty: the tool tip of the first label, so a spot's tip and its name cannot drift apart.
  Text name;
  AccessRole role = AccessRole::PushButton;
  // Where the part lies: the union of these labels' rectangles. None: the form itself, which
  // then answers as this part rather than as a plain window.
  std::vector<const Label*> labels;
  // The part's current value; null for none.
  std::function<Text()> value;

  Text Name() const;
  Text Value() const { return value ? value() : Text(); }
  // A push button's default action is the click on its spot (or on the form).
  bool HasDefaultAction() const { return role == AccessRole::PushButton; }
  bool IsForm() const { return labels.empty(); }
};

// A name or value that changed since the description was last looked at.
struct AccessChange {
  int part;  // index into Parts()
  bool name;
  bool value;
};

class AccessDescription {
 public:
  explicit AccessDescription(Form& form) : form_(form) {}
  AccessDescription(const AccessDescription&) = delete;
  AccessDescription& operator=(const AccessDescription&) = delete;

  AccessPart& Add(AccessPart part);
  const std::vector<AccessPart>& Parts() const { return parts_; }
  // The part that stands for the whole form, or null.
  const AccessPart* FormPart() const;
  // The parts that lie on the form as its children (every one but the form's own).
  std::vector<int> Children() const;

  // Where a part lies in twips of the client area, cut to the form's own size (a label may
  // reach beyond the window's edge, and that part of it cannot be hit).
  TwipsRect Rect(int part) const;
  // Where these labels lie together, cut to the form's client area; empty when none of them
  // shows there.
  TwipsRect Rect(const std::vector<const Label*>& labels) const;
  // The part under a point of the client area: the label that takes the mouse there (the
  // one latest in z-order) decides, so a spot covered by a later label is not hit. -1: none.
  int PartAt(float x, float y) const;
  // Does what a click on the part does, through the same handler; false when the part has
  // no default action or its form cannot be clicked (Form::Clickable).
  bool DoDefaultAction(int part);

  // Names for the form's text boxes and buttons, which the host shows as its own controls:
  // a text box has no caption to be read by. Empty when none was given.
  void NameControl(const Control& control, Text name);
  Text ControlName(const Control& control) const;

  // Names and values that changed since the last call, or since the parts were added.
  std::vector<AccessChange> TakeChanges();

  // The keyboard (host/keyboard.cpp). The parts that take the focus, in the order Tab moves it:
  // the push buttons on the form, or else the form itself when it is one.
  std::vector<int> Focusable() const;
  // The part that has the focus: the first that takes it until a key moves it; -1: none.
  int Focused() const;
  // Whether the focus is drawn: as Windows shows keyboard cues by default, once a key has been
  // used on the form; until then it looks as if it had none.
  bool FocusShown() const { return keyUsed_; }

 private:
  friend struct HostAccess;  // the keys that move the focus
  Form& form_;
  int focus_ = -1;
  bool keyUsed_ = false;
  std::vector<AccessPart> parts_;
  std::vector<Text> names_;  // as last seen
  std::vector<Text> values_;
  std::vector<std::pair<const Control*, Text>> controlNames_;
};

}  // namespace host
