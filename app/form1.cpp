// Form1's layout and its own behaviour: announcing itself on load, dragging, minimising.
#include "app/form1.h"

#include "app/banners.h"
#include "assets/resource.h"
#include "hook32/hook32.h"
#include "host/accessibility.h"

namespace app {
namespace {

host::FontSpec Font(const char16_t* face, float points) {
  host::FontSpec font;
  font.face = face;
  font.points = points;
  return font;
}

}  // namespace

Form1::Form1()
    : host::Form("Form1"),
      Label1(AddLabel("Label1", {960, 480, 735, 135}, 0)),
      Label2(AddLabel("Label2", {120, 360, 255, 135}, 1)),
      Label3(AddLabel("Label3", {120, 600, 255, 255}, 2)),
      Label4(AddLabel("Label4", {1560, 0, 255, 255}, 3)),
      Label5(AddLabel("Label5", {1320, 0, 135, 255}, 4)),
      Label6(AddLabel("Label6", {600, 600, 255, 135}, 5)),
      Label7(AddLabel("Label7", {840, 600, 375, 135}, 6)),
      Label8(AddLabel("Label8", {600, 360, 255, 135}, 7)),
      Label9(AddLabel("Label9", {1200, 360, 255, 135}, 8)),
      Label12(AddLabel("Label12", {0, 1440, 1095, 255}, 11)),
      Timer1(AddTimer("Timer1", 60000, false)),
      Timer3(AddTimer("Timer3", 0, true)) {
  SetCaption(u"Marigold Idle -CorVID");
  SetClientArea({4995, 4110, 1770, 900});
  SetBackColor(host::kSysMenuText);
  SetPicture(IDR_MAIN_PICTURE);
  SetIcon(IDI_MARIGOLD);
  SetShowInTaskbar(true);

  Label1.SetCaption(u"Click Me");
  Label1.SetFont(Font(u"Times New Roman", 6.0f));
  Label2.SetToolTip(u"Start Idling");
  Label3.SetToolTip(u"Stop Idling");
  Label6.SetCaption(u"on");
  Label6.SetForeColor(kIndicatorOff);
  Label6.SetFont(Font(u"Arial", 6.75f));
  Label7.SetCaption(u"off");
  Label7.SetForeColor(kIndicatorOn);
  Label7.SetFont(Font(u"Arial", 6.75f));
  Label8.SetCaption(u"0");
  Label8.SetFont(Font(u"Arial", 6.0f));
  Label9.SetCaption(u"0");
  Label9.SetFont(Font(u"Arial", 6.0f));
  Label12.SetCaption(u"Label12");
  Label12.SetTransparent(false);

  Label1.Click = [this] { Label1_Click(); };
  Label2.Click = [this] { Label2_Click(); };
  Label3.Click = [this] { Label3_Click(); };
  Label4.Click = [this] { Label4_Click(); };
  Label5.Click = [this] { Label5_Click(); };
  Timer1.Tick = [this] { Timer1_Timer(); };
  Timer3.Tick = [this] { Timer3_Timer(); };

  // What a screen reader says of the spots, in the order it lists them; a button's default
  // action is its label's click, and Start and Stop are named by their tips.
  using host::AccessRole;
  host::AccessDescription& parts = Accessibility();
  parts.Add({u"", AccessRole::PushButton, {&Label2}, {}});
  parts.Add({u"", AccessRole::PushButton, {&Label3}, {}});
  parts.Add({u"Enter idle reason", AccessRole::PushButton, {&Label1}, [this] {
               return Label1.Caption();
             }});
  parts.Add({u"Minimise", AccessRole::PushButton, {&Label5}, {}});
  parts.Add({u"Exit", AccessRole::PushButton, {&Label4}, {}});
  parts.Add(
      {u"Idle minutes", AccessRole::StaticText, {&Label8}, [this] { return Label8.Caption(); }});
  parts.Add({u"Messages", AccessRole::StaticText, {&Label9}, [this] { return Label9.Caption(); }});
  // The indicator says what the user sees: which of its two words is drawn in black.
  parts.Add({u"Idling", AccessRole::StaticText, {&Label6, &Label7}, [this] {
               return host::Text(Label6.ForeColor() == kIndicatorOn ? u"on" : u"off");
             }});
}

void Form1::Form_Load() {
  Hook32::PinOnTop(*this);
  Hook32::PostChatLine(kLoadBanner);
  Hook32::WaitSeconds(0);
  host::Text name = Hook32::ReadScreenName();
  Hook32::PostChatLine(LoadedByBanner(name));
}

void Form1::Form_MouseDown(int button, int, float, float) {
  Hook32::BeginWindowDrag(*this, button);
}

void Form1::Label5_Click() {
  SetState(host::WindowState::Minimized);
}

}  // namespace app
