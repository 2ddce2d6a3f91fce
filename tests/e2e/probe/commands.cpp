// The probe's commands: finding and inspecting windows of other programs, pressing a message
// box's button, posting a chat line through Hook32, and reading a process's resources.
#include "commands.h"

// clang-format off
#include <windows.h>
#include <psapi.h>  // needs <windows.h> first
// clang-format on

#include <chrono>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "accessible.h"
#include "counts.h"
#include "hook32/hook32.h"
#include "host/courier.h"
#include "host/text.h"
#include "json_line.h"
#include "tools/chatroom/classes.h"
#include "winsupport/owners.h"
#include "winsupport/text.h"

namespace probe {
namespace {

using winsupport::UniqueHandle;

struct BadArgs {
  std::string what;
};

std::wstring Wide(const std::string& utf8) {
  return winsupport::WideFromUtf8(utf8);
}
std::string Utf8(const std::wstring& wide) {
  return winsupport::Utf8FromWide(wide);
}

const std::string& Arg(const Args& args, std::size_t i) {
  if (i >= args.size()) throw BadArgs{"missing argument " + std::to_string(i)};
  return args[i];
}

unsigned long long Number(const Args& args, std::size_t i) {
  const std::string& text = Arg(args, i);
  char* end = nullptr;
  unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') throw BadArgs{"not a number: " + text};
  return value;
}

HWND Window(const Args& args, std::size_t i) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Number(args, i)));
}

std::string Num(HWND hwnd) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(hwnd));
}

// "*" (or a missing argument) stands for "any caption".
std::optional<std::wstring> Caption(const Args& args, std::size_t i) {
  if (i >= args.size() || args[i] == "*") return std::nullopt;
  return Wide(args[i]);
}

const wchar_t* OrNull(const std::optional<std::wstring>& text) {
  return text ? text->c_str() : nullptr;
}

std::wstring CaptionOf(HWND hwnd) {
  return winsupport::WideString(winsupport::WindowText(hwnd));
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

// A JSON array of JSON values. Built by appending: GCC 12 gives a false -Wrestrict on
// "literal" + std::string at -O2.
std::string Array(std::initializer_list<std::string> items) {
  std::string out(1, '[');
  for (const std::string& item : items) {
    if (out.size() > 1) out += ',';
    out += item;
  }
  out += ']';
  return out;
}

std::string RectJson(const RECT& r) {
  return Array({std::to_string(r.left), std::to_string(r.top), std::to_string(r.right),
                std::to_string(r.bottom)});
}

std::string Bool(bool value) {
  return value ? "1" : "0";
}

// The first visible top-level window of the class (and caption) within the timeout, or 0.
std::string Wait(const Args& args) {
  std::wstring cls = Wide(Arg(args, 1));
  auto caption = Caption(args, 2);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Number(args, 3));
  for (;;) {
    for (HWND hwnd = FindWindowExW(nullptr, nullptr, cls.c_str(), OrNull(caption)); hwnd;
         hwnd = FindWindowExW(nullptr, hwnd, cls.c_str(), OrNull(caption))) {
      if (IsWindowVisible(hwnd)) return Num(hwnd);
    }
    if (std::chrono::steady_clock::now() >= deadline) return "0";
    Sleep(50);
  }
}

// 1 once the window is gone or hidden within the timeout, else 0.
std::string WaitGone(const Args& args) {
  HWND hwnd = Window(args, 1);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Number(args, 2));
  for (;;) {
    if (!IsWindow(hwnd) || !IsWindowVisible(hwnd)) return "1";
    if (std::chrono::steady_clock::now() >= deadline) return "0";
    Sleep(50);
  }
}

// The text a control holds (WM_GETTEXT, which reaches edit controls, unlike the caption
// cache); null when the window does not answer within two seconds.
std::string ControlText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return "null";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return "null";
  }
  text.resize(copied);
  return Quote(Utf8(text));
}

std::string Children(HWND parent) {
  std::string out = "[";
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (out.size() > 1) out += ",";
    out += Array({Num(child), Quote(Utf8(ClassOf(child))), Quote(Utf8(CaptionOf(child)))});
  }
  return out + "]";
}

std::string TopLevel() {
  std::string out = "[";
  for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd;
       hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (!IsWindowVisible(hwnd)) continue;
    RECT r;
    GetWindowRect(hwnd, &r);
    if (out.size() > 1) out += ",";
    out +=
        Array({Num(hwnd), Quote(Utf8(ClassOf(hwnd))), Quote(Utf8(CaptionOf(hwnd))), RectJson(r)});
  }
  return out + "]";
}

std::wstring WithoutAmpersands(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c != L'&') out += c;
  }
  return out;
}

// Visible dialog boxes (message boxes among them): caption, static texts and buttons.
std::string Boxes() {
  std::string out = "[";
  for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
       box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
    if (!IsWindowVisible(box)) continue;
    std::string texts = "[", buttons = "[";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      std::wstring cls = ClassOf(child);
      std::string caption = Quote(Utf8(WithoutAmpersands(CaptionOf(child))));
      if (!IsWindowVisible(child)) continue;
      if (lstrcmpiW(cls.c_str(), L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
        if (texts.size() > 1) texts += ',';
        texts += caption;
      } else if (lstrcmpiW(cls.c_str(), L"Button") == 0) {
        if (buttons.size() > 1) buttons += ',';
        buttons += caption;
      }
    }
    RECT r;
    GetWindowRect(box, &r);
    if (out.size() > 1) out += ",";
    texts += ']';
    buttons += ']';
    std::string item = "{\"hwnd\":";
    for (const std::string& part :
         {Num(box), std::string(",\"caption\":"), Quote(Utf8(CaptionOf(box))),
          std::string(",\"texts\":"), texts, std::string(",\"buttons\":"), buttons,
          std::string(",\"rect\":"), RectJson(r), std::string("}")}) {
      item += part;
    }
    out += item;
  }
  return out + "]";
}

// Presses a button of a dialog the way a click would end it: the dialog gets the button's
// command. Posted, so a busy dialog cannot hold the probe up. Case-insensitive, & ignored.
std::string PressButton(HWND box, const std::wstring& text) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Button") != 0) continue;
    if (lstrcmpiW(WithoutAmpersands(CaptionOf(child)).c_str(), text.c_str()) != 0) continue;
    int id = GetDlgCtrlID(child);
    return Bool(
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child)));
  }
  return "0";
}

std::string HexToBytes(const std::string& hex) {
  if (hex.size() % 2 != 0) throw BadArgs{"odd number of hex digits"};
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(hex.c_str() + i, "%2x", &value) != 1) throw BadArgs{"bad hex: " + hex};
    bytes += static_cast<char>(value);
  }
  return bytes;
}

// Posts a line (given as UTF-8 in hex, or "-" for the empty line) through the program's own
// routine and answers how long it took, in milliseconds, until the courier had delivered the
// line or given up on it.
std::string Post(const std::string& hex) {
  host::Text line = host::FromUtf8(hex == "-" ? std::string() : HexToBytes(hex));
  auto start = std::chrono::steady_clock::now();
  Hook32::PostChatLine(line);
  host::WaitForDeliveries(60.0);
  std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", took.count());
  return text;
}

UniqueHandle OpenPid(DWORD access, unsigned long long pid) {
  return UniqueHandle(OpenProcess(access, FALSE, static_cast<DWORD>(pid)));
}

std::string Gui(unsigned long long pid) {
  std::optional<GuiCounts> counts = CountGuiObjects(static_cast<DWORD>(pid));
  if (!counts) return "null";
  return Array({std::to_string(counts->gdi), std::to_string(counts->user), Quote(counts->how)});
}

std::string Memory(unsigned long long pid) {
  UniqueHandle process = OpenPid(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, pid);
  if (!process) return "null";
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    return "null";
  }
  return std::to_string(counters.PrivateUsage);
}

// Makes the stand-in chat client's frame hang for `ms` milliseconds (0: for good); 1 once it
// has begun. The client answers before it sleeps, so a client too busy to take the request
// within ten seconds gives 0, and nothing has changed.
std::string Hang(HWND frame, unsigned long long ms) {
  DWORD_PTR began = 0;
  return Bool(SendMessageTimeoutW(frame, RegisterWindowMessageW(chatroom::kHangMessage),
                                  static_cast<WPARAM>(ms), 0, SMTO_NORMAL, 10000, &began) &&
              began == TRUE);
}

// Whether some process holds the named mutex now; 0 too when there is none by that name.
std::string Held(const std::wstring& name) {
  UniqueHandle mutex(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
  if (!mutex) return "0";
  DWORD got = WaitForSingleObject(mutex.get(), 0);
  if (got == WAIT_TIMEOUT) return "1";
  if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) ReleaseMutex(mutex.get());
  return "0";
}

std::string Kill(unsigned long long pid) {
  UniqueHandle process = OpenPid(PROCESS_TERMINATE, pid);
  return Bool(process && TerminateProcess(process.get(), 1));
}

using Command = std::function<std::string(const Args&)>;

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"find",
       [](const Args& a) {
         return Num(FindWindowW(Wide(Arg(a, 1)).c_str(), OrNull(Caption(a, 2))));
       }},
      {"findchild",
       [](const Args& a) {
         HWND after = a.size() > 4 ? Window(a, 4) : nullptr;
         return Num(
             FindWindowExW(Window(a, 1), after, Wide(Arg(a, 2)).c_str(), OrNull(Caption(a, 3))));
       }},
      {"wait", Wait},
      {"waitgone", WaitGone},
      {"rect",
       [](const Args& a) {
         RECT r{};
         return GetWindowRect(Window(a, 1), &r) ? RectJson(r) : std::string("null");
       }},
      {"client",
       [](const Args& a) {
         HWND hwnd = Window(a, 1);
         RECT r{};
         if (!GetClientRect(hwnd, &r)) return std::string("null");
         MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
         return RectJson(r);
       }},
      {"visible", [](const Args& a) { return Bool(IsWindowVisible(Window(a, 1))); }},
      {"iconic", [](const Args& a) { return Bool(IsIconic(Window(a, 1))); }},
      {"exists", [](const Args& a) { return Bool(IsWindow(Window(a, 1))); }},
      {"foreground", [](const Args&) { return Num(GetForegroundWindow()); }},
      {"topmost",
       [](const Args& a) {
         return Bool(GetWindowLongPtrW(Window(a, 1), GWL_EXSTYLE) & WS_EX_TOPMOST);
       }},
      {"restore",
       [](const Args& a) {
         HWND hwnd = Window(a, 1);
         // As the task bar does it, unless asked for ShowWindow; both never wait on the window.
         if (a.size() > 2 && a[2] == "show") return Bool(ShowWindowAsync(hwnd, SW_RESTORE));
         return Bool(PostMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0));
       }},
      {"end-session",
       [](const Args& a) {
         // As Windows logs off: asks, then tells; a program may end inside the second call.
         HWND hwnd = Window(a, 1);
         DWORD_PTR agreed = 0;
         SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                             &agreed);
         SendMessageTimeoutW(hwnd, WM_ENDSESSION, agreed != 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                             5000, nullptr);
         return Bool(agreed != 0);
       }},
      {"caption", [](const Args& a) { return Quote(Utf8(CaptionOf(Window(a, 1)))); }},
      {"text", [](const Args& a) { return ControlText(Window(a, 1)); }},
      {"children", [](const Args& a) { return Children(Window(a, 1)); }},
      {"toplevel", [](const Args&) { return TopLevel(); }},
      {"boxes", [](const Args&) { return Boxes(); }},
      {"press-button", [](const Args& a) { return PressButton(Window(a, 1), Wide(Arg(a, 2))); }},
      {"post", [](const Args& a) { return Post(Arg(a, 1)); }},
      {"screen-name", [](const Args&) { return Quote(host::ToUtf8(Hook32::ReadScreenName())); }},
      {"im-sender", [](const Args&) { return Quote(host::ToUtf8(Hook32::ReadImSender())); }},
      {"locate-room",
       [](const Args&) {
         return std::to_string(static_cast<std::uintptr_t>(Hook32::LocateChatRoom()));
       }},
      {"chat-timeout", [](const Args&) { return std::to_string(Hook32::kChatSendTimeoutMs); }},
      {"pid",
       [](const Args& a) {
         DWORD pid = 0;
         GetWindowThreadProcessId(Window(a, 1), &pid);
         return std::to_string(pid);
       }},
      {"gui", [](const Args& a) { return Gui(Number(a, 1)); }},
      {"mem", [](const Args& a) { return Memory(Number(a, 1)); }},
      {"kill", [](const Args& a) { return Kill(Number(a, 1)); }},
      {"hang", [](const Args& a) { return Hang(Window(a, 1), Number(a, 2)); }},
      {"held", [](const Args& a) { return Held(Wide(Arg(a, 1))); }},
      {"screen",
       [](const Args&) {
         return Array({std::to_string(GetSystemMetrics(SM_CXSCREEN)),
                       std::to_string(GetSystemMetrics(SM_CYSCREEN))});
       }},
      {"acp", [](const Args&) { return std::to_string(GetACP()); }},
      {"acc-tree", [](const Args& a) { return AccessibleTree(Window(a, 1)); }},
      {"acc-at",
       [](const Args& a) {
         return AccessibleAt(static_cast<long>(Number(a, 1)), static_cast<long>(Number(a, 2)));
       }},
      {"acc-do",
       [](const Args& a) { return AccessibleDo(Window(a, 1), static_cast<long>(Number(a, 2))); }},
      {"loaded",
       [](const Args& a) {
         return ModuleLoaded(static_cast<DWORD>(Number(a, 1)), Wide(Arg(a, 2)));
       }},
  };
  return commands;
}

}  // namespace

Args SplitWords(const std::string& line) {
  Args words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        word += line[i];
      }
      ++i;  // the closing quote
    } else {
      for (; i < line.size() && line[i] != ' ' && line[i] != '\t'; ++i) word += line[i];
    }
    words.push_back(word);
  }
  return words;
}

std::string RunCommand(const Args& args, bool& quit) {
  if (args[0] == "quit") {
    quit = true;
    return "\"bye\"";
  }
  auto found = Commands().find(args[0]);
  if (found == Commands().end()) return "{\"error\":" + Quote("unknown command " + args[0]) + "}";
  try {
    return found->second(args);
  } catch (const BadArgs& bad) {
    return "{\"error\":" + Quote(bad.what) + "}";
  }
}

}  // namespace probe
