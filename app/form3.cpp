// Form3: placed a little above the middle of the screen; a click leads to the main window.
#include "app/form3.h"

#include "app/form1.h"
#include "app/forms.h"
#include "assets/resource.h"
#include "glide32/glide32.h"
#include "host/accessibility.h"

namespace app {

Form3::Form3() : host::Form("Form3") {
  SetCaption(u"Form3");
  SetClientArea({0, 0, 4995, 3450});
  SetBackColor(host::kSysButtonFace);
  SetPicture(IDR_SPLASH_PICTURE);
  SetShowInTaskbar(true);
  // The whole window is one button: its click opens the main window.
  Accessibility().Add({u"Open Marigold Idle", host::AccessRole::PushButton, {}, {}});
}

void Form3::Form_Load() {
  Glide32::PlaceSplash(*this);
}

void Form3::Form_Click() {
  // Hidden first, so the two windows are never seen together; it is never shown again.
  Hide();
  TheForm1().Show();
}

// Nothing has been announced in the room yet, so there is nothing to say goodbye to.
void Form3::Form_QueryUnload() {
  host::EndProgram();
}

}  // namespace app
