// The Win32 support library (winsupport/), under the names the host's own files use.
#pragma once

#include "winsupport/owners.h"
#include "winsupport/picture.h"
#include "winsupport/text.h"

namespace host::win32 {
using namespace ::winsupport;  // NOLINT: the host is the library's first user
}  // namespace host::win32
