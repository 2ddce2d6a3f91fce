// The windowing runtime the forms are built on: frameless picture-skinned windows,
// windowless labels, text box, button, timers, drag, message box, event processing, clock.
// Every rule (control properties, hit-testing, clicks, the drag, timers, errors in handlers)
// is in the portable half (host/*.cpp); host/platform.h lists all a host supplies.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/text.h"
#include "host/user32.h"

namespace host {

// 0x00BBGGRR, or a system colour 0x800000nn (nn = the GetSysColor index).
using Color = std::uint32_t;
inline constexpr Color kSysMenuText = 0x80000007;
inline constexpr Color kSysButtonFace = 0x8000000F;
inline constexpr Color kSysButtonText = 0x80000012;

inline constexpr float kTwipsPerInch = 1440.0f;

struct FontSpec {
  Text face;  // empty: the host's standard dialog font
  float points = 0.0f;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int charset = 0;  // ANSI
  bool IsDefault() const { return face.empty(); }
};

// Left, top, width, height in twips.
struct TwipsRect {
  float left = 0, top = 0, width = 0, height = 0;
  bool Contains(float x, float y) const {
    return x >= left && x < left + width && y >= top && y < top + height;
  }
};

class Form;
class AccessDescription;  // host/accessibility.h

// Everything a form owns on its surface; the form repaints or re-arms after a change.
class Control {
 public:
  Control(Form& owner, std::string name, TwipsRect rect, int tabIndex)
      : owner_(owner), name_(std::move(name)), rect_(rect), tabIndex_(tabIndex) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  const TwipsRect& Rect() const { return rect_; }
  int TabIndex() const { return tabIndex_; }
  Form& Owner() const { return owner_; }

 protected:
  // The control's state changed: bring the host up to date (repaint, re-arm, push a text).
  virtual void Changed() {}

 private:
  friend class Form;  // loading a form arms its timers
  Form& owner_;
  std::string name_;
  TwipsRect rect_;
  int tabIndex_;
};

// A windowless label: paints its caption over the form's picture and takes the mouse
// over its rectangle. Captions break at blanks and are cut at the label's edges.
class Label : public Control {
 public:
  using Control::Control;
  const Text& Caption() const { return caption_; }
  void SetCaption(Text caption);
  Color ForeColor() const { return foreColor_; }
  void SetForeColor(Color color);
  const FontSpec& Font() const { return font_; }
  void SetFont(FontSpec font);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  const Text& ToolTip() const { return toolTip_; }
  void SetToolTip(Text tip);

  std::function<void()> Click;  // set by the form that owns the label

 protected:
  void Changed() override;

 private:
  Text caption_;
  Color foreColor_ = kSysButtonText;
  FontSpec font_;
  bool transparent_ = true;
  Text toolTip_;
};

// Ticks every Interval() ms while enabled and its form is loaded; interval 0 never ticks.
// Enabling a timer that already runs keeps its period as it was.
class Timer : public Control {
 public:
  Timer(Form& owner, std::string name, unsigned intervalMs, bool enabled)
      : Control(owner, std::move(name), {}, -1), interval_(intervalMs), enabled_(enabled) {}
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void()> Tick;

 protected:
  void Changed() override;  // arms or stops the timer as its state says

 private:
  unsigned interval_;
  bool enabled_;
};

// A single-line text box. The host keeps GetText() in step with what the user types.
class TextBox : public Control {
 public:
  using Control::Control;
  const Text& GetText() const { return text_; }
  void SetText(Text text);  // from the program: pushed to the native control
  const FontSpec& Font() const { return font_; }
  void SetFont(FontSpec font) { font_ = std::move(font); }

 protected:
  void Changed() override;

 private:
  friend struct HostAccess;  // the user's typing
  Text text_;
  FontSpec font_;
};

class CommandButton : public Control {
 public:
  using Control::Control;
  const Text& Caption() const { return caption_; }
  void SetCaption(Text caption) { caption_ = std::move(caption); }
  std::function<void()> Click;

 private:
  Text caption_;
};

enum class WindowState { Normal = 0, Minimized = 1 };

// A frameless top-level window painted by one picture, with its controls. Derived forms
// set their design-time properties and controls in their constructor and answer events
// by overriding the virtual handlers. Show() loads the form on its first call: the window
// is created hidden, Form_Load runs, then the window becomes visible.
class Form {
 public:
  explicit Form(std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Design time (before the first Show).
  void SetCaption(Text caption) { caption_ = std::move(caption); }
  void SetClientArea(TwipsRect area) { design_ = area; }
  void SetBackColor(Color color) { backColor_ = color; }
  void SetPicture(int resourceId) { picture_ = resourceId; }
  void SetIcon(int resourceId) { icon_ = resourceId; }
  void SetShowInTaskbar(bool show) { showInTaskbar_ = show; }
  Label& AddLabel(std::string name, TwipsRect rect, int tabIndex);
  Timer& AddTimer(std::string name, unsigned intervalMs, bool enabled);
  TextBox& AddTextBox(std::string name, TwipsRect rect, int tabIndex);
  CommandButton& AddButton(std::string name, TwipsRect rect, int tabIndex);

  const std::string& Name() const { return name_; }
  const Text& Caption() const { return caption_; }
  const TwipsRect& DesignArea() const { return design_; }
  Color BackColor() const { return backColor_; }
  int Picture() const { return picture_; }
  int Icon() const { return icon_; }
  bool ShowInTaskbar() const { return showInTaskbar_; }
  const std::vector<std::unique_ptr<Label>>& Labels() const { return labels_; }
  const std::vector<std::unique_ptr<Timer>>& Timers() const { return timers_; }
  const std::vector<std::unique_ptr<TextBox>>& TextBoxes() const { return textBoxes_; }
  const std::vector<std::unique_ptr<CommandButton>>& Buttons() const { return buttons_; }

  // Run time.
  void Show();  // modeless; loads on the first call
  void Hide();  // stays loaded; controls keep their state
  bool Loaded() const { return loaded_; }
  bool Visible() const;
  // Visible and not minimised: only then can a user click the form, and only then does
  // anything act on a click's behalf (a screen reader's default action).
  bool Clickable() const;
  WindowState State() const;
  void SetState(WindowState state);
  // Outer geometry in twips from the screen's top-left corner; the window has no frame,
  // so outer and client area coincide. Positions may be negative and read back as set.
  float Top() const;
  float Left() const;
  float Width() const;
  float Height() const;
  void SetTop(float twips);
  void SetLeft(float twips);
  Hwnd Handle() const;  // 0 before the form is loaded

  // Events; the defaults do nothing.
  virtual void Form_Load() {}
  virtual void Form_MouseDown(int button, int shift, float x, float y);
  virtual void Form_Click() {}
  // The user or another program asked the window to close (Alt+F4, the taskbar's Close), while
  // it is shown. The default leaves it as it is; a form that ends the program says so here.
  virtual void Form_QueryUnload() {}

  // What screen readers and automation scripts are told of the form's hot spots; made on
  // first use (host/accessibility.h).
  AccessDescription& Accessibility() const;

  struct Native;  // what the host keeps for the form, defined by each host

 private:
  friend struct HostAccess;  // the hosts' door, host/platform.h
  friend void DragWindow(Form& form, int button);

  Label* LabelAt(float x, float y) const;
  // Mouse buttons: 1 left, 2 right, 4 middle. A press over a label goes to the label; a
  // release over the label that was pressed (left button) is its click. A press elsewhere
  // is the form's MouseDown; a left press and release on the form is its Click.
  void MouseDown(int button, int shift, float x, float y);
  void MouseUp(int button, int shift, float x, float y);
  // Ends a move that follows the pointer (DragWindow), if one runs.
  void EndFollowing();

  // Host primitives.
  void CreateNative();  // make the window, hidden
  void ShowNative();
  void HideNative();

  std::string name_;
  Text caption_;
  TwipsRect design_;
  Color backColor_ = kSysButtonFace;
  int picture_ = 0;
  int icon_ = 0;
  bool showInTaskbar_ = false;
  bool loaded_ = false;
  Label* pressed_ = nullptr;
  bool formPressed_ = false;
  int following_ = 0;  // the button whose release ends a move that follows the pointer
  float setTop_ = 0;   // the position last set, read back as long as the window stands there
  float setLeft_ = 0;
  std::vector<std::unique_ptr<Label>> labels_;
  std::vector<std::unique_ptr<Timer>> timers_;
  std::vector<std::unique_ptr<TextBox>> textBoxes_;
  std::vector<std::unique_ptr<CommandButton>> buttons_;
  std::unique_ptr<Native> native_;
  mutable std::shared_ptr<AccessDescription> access_;
};

// Moves the form with the pointer, from a press of `button` (1 left, 2 right, 4 middle) on
// it, until that button is released wherever the pointer is then; the form stays where it
// was let go. The left button's move runs in the system's move loop; the others' return at
// once and the moves come with the pointer's events, until that release or another press.
void DragWindow(Form& form, int button);

// Screen size in twips.
float ScreenWidth();
float ScreenHeight();
// Twips per pixel of the screen (15 at 96 dpi).
float TwipsPerPixelX();
float TwipsPerPixelY();

// Modal message box: returns when closed; the program's timers and windows go on being
// served meanwhile. Style follows MessageBox; button bits naming no defined set give a
// single OK button. Returns the button pressed.
int MsgBox(const Text& prompt, int style, const Text& title);

// The title of the box that tells the user an action failed halfway (host/handlers.h): the
// program's name, given before its first form shows. Empty until then.
void SetProgramTitle(Text title);

// Handles every pending event of the program's windows, then returns.
void DoEvents();
// Blocks until an event is pending or `seconds` have passed, whichever is first; handles
// nothing itself. Costs no processor time while it waits.
void WaitForEvents(double seconds);

// Seconds since local midnight, as the host's clock gives it (restarts at 0 at midnight).
float SecondsSinceMidnight();
// The current local time in the system's long time format ("2:15:07 PM").
Text TimeOfDayText();

// Ends the process at once: no further handler of any window runs.
[[noreturn]] void EndProgram();

// Loads and shows the first form, then serves events until EndProgram. The program runs once
// per Windows session: when another start of it runs already, this one brings that one's
// window to the front and returns 0 at once, showing and posting nothing; when that one is
// saying goodbye, this one waits for it to end, then starts as usual.
int Run(Form& first);
// The program has begun to say goodbye (its farewell box, its slide): a start from now on
// waits for this one to end instead of handing over to it.
void ProgramLeaving();

}  // namespace host
