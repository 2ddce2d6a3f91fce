// Form2, the reason window: a one-line strip where the user types why they are idling.
#pragma once

#include "host/runtime.h"

namespace app {

class Form2 : public host::Form {
 public:
  Form2();

  host::TextBox& Text1;
  host::CommandButton& Command1;  // "ok"

  void Command1_Click();
  void Form_QueryUnload() override;
};

}  // namespace app
