// The entry point: the program names itself to the runtime, which loads and shows the splash
// and serves events from then on.
#include "app/form3.h"
#include "app/forms.h"

int main() {
  host::SetProgramTitle(app::kProgramTitle);
  return host::Run(app::TheForm3());
}
