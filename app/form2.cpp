// Form2: "ok" copies the typed reason onto the main window and brings it back; closing the
// strip brings it back with the reason as it was.
#include "app/form2.h"

#include "app/form1.h"
#include "app/forms.h"
#include "host/accessibility.h"

namespace app {

Form2::Form2()
    : host::Form("Form2"),
      Text1(AddTextBox("Text1", {0, 0, 2655, 285}, 0)),
      Command1(AddButton("Command1", {2640, 0, 375, 255}, 1)) {
  SetCaption(u"");
  SetClientArea({4185, 2115, 3015, 270});
  Text1.SetText(u"Enter Reason Why You are Idling");
  host::FontSpec font;
  font.face = u"Arial";
  font.points = 6.75f;
  Text1.SetFont(font);
  Command1.SetCaption(u"ok");
  Command1.Click = [this] { Command1_Click(); };
  // The box shows only what was typed; a screen reader needs to be told what it is for.
  Accessibility().NameControl(Text1, u"Reason for idling");
}

void Form2::Command1_Click() {
  TheForm1().Label1.SetCaption(Text1.GetText());
  Hide();
  TheForm1().Show();
}

void Form2::Form_QueryUnload() {
  Hide();
  TheForm1().Show();
}

}  // namespace app
