// Another process's GDI and USER object counts, also where the host does not keep them.
#pragma once

#include <windows.h>

#include <optional>

namespace probe {

struct GuiCounts {
  unsigned long gdi = 0;
  unsigned long user = 0;
  const char* how = "";  // where the figures came from
};

// GetGuiResources where it answers (Windows). Where it gives 0 for a process that has
// windows (Wine 8), the GDI objects are counted in the process's GDI handle table and the
// USER objects are the windows its threads own. Empty when the process cannot be opened.
std::optional<GuiCounts> CountGuiObjects(DWORD pid);

}  // namespace probe
