// Idling: the reason label, "Start Idling", "Stop Idling" and the minute tick that posts
// the idle banner. The state lives in Form1's labels and in Timer1's enabled flag.
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/banners.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/forms.h"
#include "hook32/hook32.h"

namespace app {
namespace {

// The whole text as a number, or an error when it is not one.
double StrictNumber(const host::Text& text) {
  std::string utf8 = host::ToUtf8(text);
  const char* begin = utf8.c_str();
  while (*begin == ' ') ++begin;
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  while (end != nullptr && *end == ' ') ++end;
  if (end == begin || end == nullptr || *end != '\0') throw std::invalid_argument("not a number");
  return value;
}

}  // namespace

void Form1::Label1_Click() {
  Hide();
  TheForm2().Show();
}

void Form1::Label2_Click() {
  if (Label1.Caption() == u"Click Me") {
    Hide();
    host::MsgBox(u"You Need To Enter a Reason for Idling", kNoticeBoxStyle, kProgramTitle);
    Show();
    return;
  }
  Label12.SetCaption(host::TimeOfDayText());
  Label6.SetForeColor(kIndicatorOn);
  Label7.SetForeColor(kIndicatorOff);
  Timer1.SetEnabled(true);
}

void Form1::Label3_Click() {
  Label8.SetCaption(u"0");
  Timer1.SetEnabled(false);
  Label6.SetForeColor(kIndicatorOff);
  Label7.SetForeColor(kIndicatorOn);
}

void Form1::Timer1_Timer() {
  // The counter is advanced first, so a tick that fails later still counts.
  Label8.SetCaption(host::CounterText(host::Val(Label8.Caption()) + 1.0));
  host::Text minutes = Label8.Caption();
  host::Text since = Label12.Caption();
  host::Text name = Hook32::ReadScreenName();
  Hook32::PostChatLine(IdleBanner(name, minutes, since));
}

// Counts an Instant Message whose sender reads "1". Timer3 has interval 0, so this never
// runs in the shipped program; it is kept working for the day the timer is given one.
void Form1::Timer3_Timer() {
  double sender = StrictNumber(Hook32::ReadImSender());
  if (sender == 1.0) Label9.SetCaption(host::CounterText(sender + 1.0));
}

}  // namespace app
