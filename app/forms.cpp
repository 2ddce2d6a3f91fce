// The shared instances of the three windows.
#include "app/forms.h"

#include <memory>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"

namespace app {
namespace {

std::unique_ptr<Form1> form1;
std::unique_ptr<Form2> form2;
std::unique_ptr<Form3> form3;

template <typename F>
F& Instance(std::unique_ptr<F>& slot) {
  if (!slot) slot = std::make_unique<F>();
  return *slot;
}

}  // namespace

Form1& TheForm1() {
  return Instance(form1);
}
Form2& TheForm2() {
  return Instance(form2);
}
Form3& TheForm3() {
  return Instance(form3);
}

void DestroyForms() {
  form2.reset();
  form1.reset();
  form3.reset();
}

}  // namespace app
