// Form3, the splash window: the title picture until the user clicks it.
#pragma once

#include "host/runtime.h"

namespace app {

class Form3 : public host::Form {
 public:
  Form3();
  void Form_Load() override;
  void Form_Click() override;
  void Form_QueryUnload() override;
};

}  // namespace app
