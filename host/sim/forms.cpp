// The native half of the forms on the simulated desktop: each loaded form is a top-level
// window, its geometry and state are kept in the form, its timers go to the virtual clock.
#include <algorithm>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

#include "host/accessibility.h"
#include "host/platform.h"
#include "host/sim/internal.h"

namespace host {

struct Form::Native {
  Hwnd window = 0;
  bool visible = false;
  WindowState state = WindowState::Normal;
  float top = 0;  // twips, where the screen's clamp left it
  float left = 0;
  std::vector<float> topHistory;
};

}  // namespace host

namespace sim {
namespace detail {
namespace {

struct Screen {
  int widthPx = 1024;
  int heightPx = 768;
  float twipsPerPixel = 15.0f;
  bool clamp = false;
};

struct Forms {
  Screen screen;
  std::vector<Box> boxes;
  std::function<int(const Box&)> whileBoxOpen;
  std::vector<std::string> events;
  int hiddenInputs = 0;
  bool dropHiddenInput = false;
  std::map<const host::Control*, int> updates;
};

Forms& forms() {
  static Forms f;
  return f;
}

// Every form alive, in the order they were made; a form leaves when it is destroyed, so
// nothing here outlives its form, whatever Reset does.
std::vector<const host::Form*>& live() {
  static std::vector<const host::Form*> l;
  return l;
}

float Place(float twips) {
  return forms().screen.clamp && twips < 0 ? 0.0f : twips;
}

bool Reachable(const host::Form& form) {
  if (form.Clickable()) return true;
  ++forms().hiddenInputs;
  return !forms().dropHiddenInput;
}

}  // namespace

void ResetForms() {
  forms() = Forms();
}

void RecordEvent(std::string event) {
  forms().events.push_back(std::move(event));
}

}  // namespace detail

using detail::forms;

void Press(host::Form& form, float x, float y, int button) {
  if (detail::Reachable(form)) host::HostAccess::MouseDown(form, button, 0, x, y);
}

void Release(host::Form& form, float x, float y, int button) {
  // The held button's release reaches the window wherever the pointer is, and ends the move.
  bool held = host::HostAccess::Following(form) == button;
  if (detail::Reachable(form) || held) host::HostAccess::MouseUp(form, button, 0, x, y);
}

int FollowingButton(const host::Form& form) {
  return host::HostAccess::Following(form);
}

void Click(host::Form& form, float x, float y, int button) {
  Press(form, x, y, button);
  Release(form, x, y, button);
}

bool MovePointer(host::Form& form) {
  return host::HostAccess::PointerMoved(form);
}

int Updates(const host::Control& control) {
  auto found = forms().updates.find(&control);
  return found == forms().updates.end() ? 0 : found->second;
}

int HiddenInputs() {
  return forms().hiddenInputs;
}
void SetDropHiddenInput(bool drop) {
  forms().dropHiddenInput = drop;
}

void Click(host::Label& label) {
  host::TwipsRect shown = label.Owner().Accessibility().Rect({&label});
  if (shown.width <= 0)
    throw std::logic_error("sim::Click: label " + label.Name() + " lies outside its form");
  Click(label.Owner(), shown.left + shown.width / 2, shown.top + shown.height / 2);
}

void Click(host::CommandButton& button) {
  if (detail::Reachable(button.Owner())) host::HostAccess::ButtonClicked(button);
}

void Type(host::TextBox& box, const Text& text) {
  host::HostAccess::TextTyped(box, text);
}

std::vector<std::string> PressKeys(host::Form& form, const std::vector<std::string>& keys) {
  struct Name {
    const char* name;
    host::Key key;
    bool shift;
  };
  static constexpr Name kNames[] = {{"Tab", host::Key::Tab, false},
                                    {"Shift+Tab", host::Key::Tab, true},
                                    {"Space", host::Key::Space, false},
                                    {"Enter", host::Key::Enter, false}};
  std::vector<std::string> unanswered;
  for (const std::string& key : keys) {
    const Name* name = std::find_if(std::begin(kNames), std::end(kNames),
                                    [&](const Name& n) { return key == n.name; });
    if (name == std::end(kNames)) throw std::logic_error("sim::PressKeys: no key " + key);
    if (!host::HostAccess::KeyPressed(form, name->key, name->shift)) unanswered.push_back(key);
  }
  return unanswered;
}

void RequestClose(host::Form& form) {
  host::HostAccess::CloseRequested(form);
}

void EndSession() {
  host::HostAccess::SessionEnded();
}

const std::vector<Box>& Boxes() {
  return forms().boxes;
}

void OnMessageBox(std::function<int(const Box&)> whileOpen) {
  forms().whileBoxOpen = std::move(whileOpen);
}

void SetScreenPixels(int width, int height, float twipsPerPixel) {
  forms().screen.widthPx = width;
  forms().screen.heightPx = height;
  forms().screen.twipsPerPixel = twipsPerPixel;
}

void SetClampToScreen(bool clamp) {
  forms().screen.clamp = clamp;
}

std::vector<float> TopHistory(const host::Form& form) {
  return host::HostAccess::NativeOf(form).topHistory;
}

const std::vector<std::string>& FormEvents() {
  return forms().events;
}

}  // namespace sim

namespace host {

using sim::detail::forms;

Form::Form(std::string name) : name_(std::move(name)), native_(std::make_unique<Native>()) {
  sim::detail::live().push_back(this);
}

Form::~Form() {
  sim::detail::DisarmForm(*this);
  sim::DestroyWindow(native_->window);
  std::erase(sim::detail::live(), this);
}

void Form::CreateNative() {
  native_->window = sim::CreateWindow(0, "ThunderRT6FormDC", caption_);
  native_->top = design_.top;
  native_->left = design_.left;
  forms().events.push_back(name_ + ".load");
}

void Form::ShowNative() {
  native_->visible = true;
  forms().events.push_back(name_ + ".show");
}

void Form::HideNative() {
  native_->visible = false;
  forms().events.push_back(name_ + ".hide");
}

bool Form::Visible() const {
  return loaded_ && native_->visible;
}
WindowState Form::State() const {
  return native_->state;
}
void Form::SetState(WindowState state) {
  native_->state = state;
}

PixelRect WindowPixels(const Form& form) {
  const Form::Native& native = HostAccess::NativeOf(form);
  float tpp = forms().screen.twipsPerPixel;
  return WindowPixelsAt(native.left, native.top, form.DesignArea(), tpp, tpp);
}

void PlaceWindow(Form& form, float left, float top) {
  Form::Native& native = HostAccess::NativeOf(form);
  if (top != native.top) native.topHistory.push_back(top);
  native.top = sim::detail::Place(top);
  native.left = sim::detail::Place(left);
}

Hwnd Form::Handle() const {
  return loaded_ ? native_->window : 0;
}

// Nothing is painted on the simulated desktop, and a text box holds its own text.
void RepaintLabel(Label& label) {
  ++forms().updates[&label];
}
void PushText(TextBox& box) {
  ++forms().updates[&box];
}

float ScreenWidth() {
  return forms().screen.widthPx * forms().screen.twipsPerPixel;
}
float ScreenHeight() {
  return forms().screen.heightPx * forms().screen.twipsPerPixel;
}
float TwipsPerPixelX() {
  return forms().screen.twipsPerPixel;
}
float TwipsPerPixelY() {
  return forms().screen.twipsPerPixel;
}

int MsgBox(const Text& prompt, int style, const Text& title) {
  sim::Box box{prompt, style, title, sim::Now(), {}};
  for (const Form* form : sim::detail::live()) {
    if (form->Visible()) box.visibleForms.push_back(form->Name());
  }
  forms().boxes.push_back(box);
  // A copy: the callback may replace itself or open a nested box.
  std::function<int(const sim::Box&)> whileOpen = forms().whileBoxOpen;
  return whileOpen ? whileOpen(box) : 1;
}

// The simulated pointer never moves by itself: the window stays where it is while held.
bool GrabPointer(Form&) {
  return true;
}
void MoveToPointer(Form& form) {
  forms().events.push_back(form.Name() + ".follow");
}

void FocusChanged(Form& form, int from) {
  forms().events.push_back(form.Name() + ".focus " + std::to_string(from));
}

void EndProgram() {
  throw sim::ProgramEnded{};
}

int ServeEvents() {
  return 0;
}

}  // namespace host
