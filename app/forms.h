// The program's three windows, each a single shared instance created on first use, and what
// they share: the program's name and the style of its notices.
#pragma once

#include "host/text.h"

namespace app {

// The title of the program's own boxes (the refusal, a failed action).
inline const host::Text kProgramTitle = u"MARIGOLD IDLE";
// Exclamation icon with button bits that name no set of their own; the host shows a single
// OK button for them.
inline constexpr int kNoticeBoxStyle = 63;

class Form1;
class Form2;
class Form3;

Form1& TheForm1();
Form2& TheForm2();
Form3& TheForm3();
// Destroys every form (the simulated tests start each case from nothing).
void DestroyForms();

}  // namespace app
