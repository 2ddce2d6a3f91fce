// Active Accessibility from the probe's side: the objects come from another process, so
// every call here crosses into it through COM's marshalling.
#include "accessible.h"

// clang-format off
#include <windows.h>
#include <oleacc.h>
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <vector>

#include "host/text.h"
#include "json_line.h"
#include "winsupport/owners.h"

namespace probe {
namespace {

using winsupport::ComPtr;
using winsupport::ComScope;

VARIANT Child(long id) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// A text property (name, value) of the object or a child, as JSON; null when there is none.
std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* object,
                 long id) {
  winsupport::Bstr text;
  if ((object->*get)(Child(id), text.Put()) != S_OK || text.get() == nullptr) return "null";
  return Quote(host::ToUtf8(
      host::Text(reinterpret_cast<const char16_t*>(text.get()), ::SysStringLen(text.get()))));
}

std::string Role(IAccessible* object, long id) {
  VARIANT role;
  ::VariantInit(&role);
  if (object->get_accRole(Child(id), &role) != S_OK || role.vt != VT_I4) return "null";
  wchar_t name[64] = {};
  ::GetRoleTextW(static_cast<DWORD>(role.lVal), name, 64);
  return Quote(host::ToUtf8(host::Text(reinterpret_cast<const char16_t*>(name))));
}

std::string State(IAccessible* object, long id) {
  VARIANT state;
  ::VariantInit(&state);
  if (object->get_accState(Child(id), &state) != S_OK || state.vt != VT_I4) return "null";
  return std::to_string(state.lVal);
}

std::string Location(IAccessible* object, long id) {
  long x = 0, y = 0, w = 0, h = 0;
  if (object->accLocation(&x, &y, &w, &h, Child(id)) != S_OK) return "null";
  char text[96];
  std::snprintf(text, sizeof text, "[%ld,%ld,%ld,%ld]", x, y, x + w, y + h);
  return text;
}

ComPtr<IAccessible> ClientObject(HWND window) {
  ComPtr<IAccessible> object;
  ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(object.Put()));
  return object;
}

}  // namespace

std::string AccessibleTree(HWND window) {
  ComScope com;
  ComPtr<IAccessible> object = ClientObject(window);
  if (!object.get()) return "null";
  long count = 0;
  object->get_accChildCount(&count);
  std::string children = "[";
  for (long id = 1; id <= count; ++id) {
    if (id > 1) children += ',';
    IAccessible* o = object.get();
    for (const std::string& part :
         {std::string("["), std::to_string(id), std::string(","),
          Text(&IAccessible::get_accName, o, id), std::string(","), Role(o, id), std::string(","),
          Text(&IAccessible::get_accValue, o, id), std::string(","), State(o, id), std::string(","),
          Location(o, id), std::string("]")}) {
      children += part;
    }
  }
  children += ']';
  // Appended piece by piece: GCC 12 gives a false -Wrestrict on "literal" + std::string.
  std::string out = "{\"name\":";
  out += Text(&IAccessible::get_accName, object.get(), CHILDID_SELF);
  for (const std::string& part : {std::string(",\"role\":"), Role(object.get(), CHILDID_SELF),
                                  std::string(",\"state\":"), State(object.get(), CHILDID_SELF),
                                  std::string(",\"children\":"), children, std::string("}")}) {
    out += part;
  }
  return out;
}

std::string AccessibleAt(long x, long y) {
  ComScope com;
  ComPtr<IAccessible> object;
  VARIANT child;
  ::VariantInit(&child);
  if (::AccessibleObjectFromPoint(POINT{x, y}, object.Put(), &child) != S_OK || !object.get()) {
    return "null";
  }
  long id = child.vt == VT_I4 ? child.lVal : CHILDID_SELF;
  std::string out = "[";
  out += Text(&IAccessible::get_accName, object.get(), id);
  for (const std::string& part : {std::string(","), Role(object.get(), id), std::string(","),
                                  std::to_string(id), std::string("]")}) {
    out += part;
  }
  return out;
}

std::string AccessibleDo(HWND window, long id) {
  ComScope com;
  ComPtr<IAccessible> object = ClientObject(window);
  if (!object.get()) return "null";
  return std::to_string(static_cast<long>(object->accDoDefaultAction(Child(id))));
}

std::string ModuleLoaded(DWORD pid, const std::wstring& module) {
  winsupport::UniqueHandle owned(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  HANDLE process = owned.get();
  if (process == nullptr) return "null";
  std::vector<HMODULE> modules(512);
  DWORD needed = 0;
  const char* answer = "null";
  if (::EnumProcessModules(process, modules.data(),
                           static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed)) {
    answer = "0";
    std::size_t count = std::min<std::size_t>(needed / sizeof(HMODULE), modules.size());
    for (std::size_t i = 0; i < count; ++i) {
      wchar_t name[MAX_PATH] = {};
      if (::GetModuleBaseNameW(process, modules[i], name, MAX_PATH) > 0 &&
          ::lstrcmpiW(name, module.c_str()) == 0) {
        answer = "1";
      }
    }
  }
  return answer;
}

}  // namespace probe
