// The portable half of the runtime: control properties, when the host is told of a change,
// loading, hit-testing and the routing of mouse presses to labels or to the form.
#include "host/handlers.h"
#include "host/platform.h"

namespace host {

// A form not loaded yet has nothing native to update: its window picks everything up when
// it is made, and its timers are armed as it loads.
void Label::Changed() {
  if (Owner().Loaded()) RepaintLabel(*this);
}

void Timer::Changed() {
  if (Owner().Loaded() && enabled_ && interval_ > 0) {
    ArmTimer(*this);
  } else {
    DisarmTimer(*this);
  }
}

void TextBox::Changed() {
  if (Owner().Loaded()) PushText(*this);
}

void Label::SetCaption(Text caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}
void Label::SetForeColor(Color color) {
  if (color == foreColor_) return;
  foreColor_ = color;
  Changed();
}
void Label::SetFont(FontSpec font) {
  font_ = std::move(font);
  Changed();
}
void Label::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Changed();
}
void Label::SetToolTip(Text tip) {
  toolTip_ = std::move(tip);
  Changed();
}

void Timer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Changed();
}
void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;  // re-enabling a running timer keeps its period
  enabled_ = enabled;
  Changed();
}

void TextBox::SetText(Text text) {
  text_ = std::move(text);
  Changed();
}

Label& Form::AddLabel(std::string name, TwipsRect rect, int tabIndex) {
  labels_.push_back(std::make_unique<Label>(*this, std::move(name), rect, tabIndex));
  return *labels_.back();
}
Timer& Form::AddTimer(std::string name, unsigned intervalMs, bool enabled) {
  timers_.push_back(std::make_unique<Timer>(*this, std::move(name), intervalMs, enabled));
  return *timers_.back();
}
TextBox& Form::AddTextBox(std::string name, TwipsRect rect, int tabIndex) {
  textBoxes_.push_back(std::make_unique<TextBox>(*this, std::move(name), rect, tabIndex));
  return *textBoxes_.back();
}
CommandButton& Form::AddButton(std::string name, TwipsRect rect, int tabIndex) {
  buttons_.push_back(std::make_unique<CommandButton>(*this, std::move(name), rect, tabIndex));
  return *buttons_.back();
}

void Form::Show() {
  if (!loaded_) {
    CreateNative();
    loaded_ = true;
    setTop_ = design_.top;  // the window stands where it was designed to
    setLeft_ = design_.left;
    for (auto& timer : timers_) static_cast<Control&>(*timer).Changed();
    RunHandler([this] { Form_Load(); });
  }
  ShowNative();
}

void Form::Hide() {
  if (loaded_) HideNative();
}

bool Form::Clickable() const {
  return Visible() && State() != WindowState::Minimized;
}

void Form::Form_MouseDown(int, int, float, float) {}

Label* Form::LabelAt(float x, float y) const {
  for (auto it = labels_.rbegin(); it != labels_.rend(); ++it) {
    if ((*it)->Rect().Contains(x, y)) return it->get();
  }
  return nullptr;
}

void Form::MouseDown(int button, int shift, float x, float y) {
  EndFollowing();  // any press ends a move that follows the pointer, before it is handled
  if (Label* label = LabelAt(x, y)) {
    if (button == 1) pressed_ = label;
    return;
  }
  formPressed_ = button == 1;
  RunHandler([&] { Form_MouseDown(button, shift, x, y); });
}

void Form::MouseUp(int button, int, float x, float y) {
  if (button == following_) EndFollowing();
  if (button != 1) return;
  Label* pressed = pressed_;
  bool formPressed = formPressed_;
  pressed_ = nullptr;
  formPressed_ = false;
  if (pressed != nullptr) {
    if (pressed == LabelAt(x, y)) RunHandler(pressed->Click);
  } else if (formPressed && LabelAt(x, y) == nullptr) {
    RunHandler([this] { Form_Click(); });
  }
}

}  // namespace host
