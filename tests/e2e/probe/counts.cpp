// Counting another process's GDI and USER objects: GetGuiResources, or, under Wine, which
// answers 0, the process's GDI handle table read from its memory and the windows it owns.
#include "counts.h"

// clang-format off
#include <windows.h>
#include <winternl.h>  // needs <windows.h> first
// clang-format on

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "winsupport/owners.h"

namespace probe {
namespace {

using winsupport::UniqueHandle;

// Where the process environment block keeps the GDI handle table's address.
constexpr std::size_t kPebGdiTable = sizeof(void*) == 8 ? 0xF8 : 0x94;
constexpr std::size_t kGdiHandles = 0x10000;
// Wine's entry: the object's address (0 once freed), owner, type byte whose top bit marks
// the stock objects, uniqueness, user data.
struct GdiEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint16_t unique;
  std::uint64_t user;
};
static_assert(sizeof(GdiEntry) == 24);
constexpr std::uint8_t kStockObject = 0x80;

bool Read(HANDLE process, std::uintptr_t at, void* into, std::size_t size) {
  SIZE_T got = 0;
  return ReadProcessMemory(process, reinterpret_cast<const void*>(at), into, size, &got) &&
         got == size;
}

// The live objects the process made itself (the stock objects every process shares left out).
std::optional<unsigned long> CountGdiHandles(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
      0) {
    return std::nullopt;
  }
  std::uintptr_t table = 0;
  if (!Read(process, reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress) + kPebGdiTable, &table,
            sizeof(void*)) ||
      table == 0) {
    return std::nullopt;
  }
  std::vector<GdiEntry> entries(kGdiHandles);
  if (!Read(process, table, entries.data(), entries.size() * sizeof(GdiEntry))) {
    return std::nullopt;
  }
  unsigned long live = 0;
  for (const GdiEntry& entry : entries) {
    if (entry.object != 0 && (entry.type & kStockObject) == 0) ++live;
  }
  return live;
}

struct WindowCount {
  DWORD pid;
  unsigned long count = 0;
};

BOOL CALLBACK CountIfOwned(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<WindowCount*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == count->pid) ++count->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<WindowCount*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != count->pid) return TRUE;
  ++count->count;
  EnumChildWindows(window, CountIfOwned, param);  // every level below it
  return TRUE;
}

// Top-level windows, hidden ones included, their children, and message-only windows.
unsigned long CountWindows(DWORD pid) {
  WindowCount count{pid};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w != nullptr;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) {
    CountTopLevel(w, reinterpret_cast<LPARAM>(&count));
  }
  return count.count;
}

}  // namespace

std::optional<GuiCounts> CountGuiObjects(DWORD pid) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) return std::nullopt;
  GuiCounts counts;
  counts.gdi = GetGuiResources(process.get(), GR_GDIOBJECTS);
  counts.user = GetGuiResources(process.get(), GR_USEROBJECTS);
  counts.how = "GetGuiResources";
  unsigned long windows = CountWindows(pid);
  if (counts.user == 0 && windows > 0) {
    std::optional<unsigned long> gdi = CountGdiHandles(process.get());
    if (!gdi) return std::nullopt;
    counts = {*gdi, windows, "GDI handle table and owned windows"};
  }
  return counts;
}

}  // namespace probe
