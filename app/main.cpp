// The entry point: the runtime loads and shows the splash and serves events from then on.
#include "app/form3.h"
#include "app/forms.h"

int main() {
  return host::Run(app::TheForm3());
}
