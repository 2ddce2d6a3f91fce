// The exit spot, and closing the main window any other way: a farewell box, then the main
// window slides off the top of the screen and the program ends.
#include "app/form1.h"
#include "app/forms.h"
#include "hook32/hook32.h"

namespace app {

const host::Text kHomePage = u"https://corvid.example.org/marigold";

void Form1::Label4_Click() {
  // From here on a new start of the program waits for this one to end, not hands over to it.
  host::ProgramLeaving();
  Hide();
  host::MsgBox(u"Make sure to check my page, " + kHomePage + u", for updates and shit. Peace.",
               kNoticeBoxStyle, u"marigold v1 idle");
  Show();
  // Closed from the taskbar, the window may be minimised: it comes back for its slide.
  SetState(host::WindowState::Normal);
  Hook32::SlideWindowUp(*this);
  host::EndProgram();
}

void Form1::Form_QueryUnload() {
  Label4_Click();
}

}  // namespace app
