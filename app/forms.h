// The program's three windows, each a single shared instance created on first use.
#pragma once

namespace app {

class Form1;
class Form2;
class Form3;

Form1& TheForm1();
Form2& TheForm2();
Form3& TheForm3();
// Destroys every form (the simulated tests start each case from nothing).
void DestroyForms();

}  // namespace app
