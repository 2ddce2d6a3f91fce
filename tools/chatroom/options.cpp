// Reads the stand-in chat client's command line.
#include "options.h"

#include <cwchar>

namespace chatroom {

const wchar_t kUsage[] =
    L"chatroom.exe [options]\n"
    L"  --name NAME          screen name (Welcome caption \"Welcome, NAME!\")\n"
    L"  --welcome-raw TEXT   Welcome caption exactly as given, set as Unicode\n"
    L"  --title TEXT         frame caption (lets a test tell its client from others)\n"
    L"  --no-welcome         no Welcome window\n"
    L"  --rooms N            number of chat rooms (0 = none; room 1 is first in child order)\n"
    L"  --no-room            same as --rooms 0\n"
    L"  --room-after MS      open the rooms only MS milliseconds after start\n"
    L"  --im CAPTION         an Instant Message window with this caption (repeatable)\n"
    L"  --log PATH           append every post to PATH: hex<TAB>room<TAB>text\n"
    L"  --pos X,Y,W,H        frame position and size in pixels\n"
    L"  --exit-after S       end the process S seconds after start, hung or not\n";

namespace {

bool ToInt(const std::wstring& text, int& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  long parsed = std::wcstol(text.c_str(), &end, 10);
  if (*end != L'\0' || parsed < -1 || parsed > 1'000'000'000) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParsePos(const std::wstring& text, Options& options) {
  int values[4];
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t comma = text.find(L',', start);
    if ((i < 3) != (comma != std::wstring::npos)) return false;
    std::wstring part = text.substr(start, comma == std::wstring::npos ? comma : comma - start);
    if (!ToInt(part, values[i])) return false;
    start = comma + 1;
  }
  if (values[2] < 100 || values[3] < 100) return false;
  options.x = values[0];
  options.y = values[1];
  options.width = values[2];
  options.height = values[3];
  return true;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::wstring>& args, std::wstring& error) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    auto value = [&](std::wstring& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    auto number = [&](int& out) {
      std::wstring text;
      return value(text) && ToInt(text, out);
    };
    std::wstring text;
    bool ok = true;
    if (arg == L"--name") {
      ok = value(options.screenName);
    } else if (arg == L"--title") {
      ok = value(options.title);
    } else if (arg == L"--welcome-raw") {
      ok = value(text);
      options.welcomeRaw = text;
    } else if (arg == L"--no-welcome") {
      options.welcome = false;
    } else if (arg == L"--rooms") {
      ok = number(options.rooms) && options.rooms >= 0 && options.rooms <= 20;
    } else if (arg == L"--no-room") {
      options.rooms = 0;
    } else if (arg == L"--room-after") {
      ok = number(options.roomAfterMs) && options.roomAfterMs >= 0;
    } else if (arg == L"--im") {
      ok = value(text);
      options.imCaptions.push_back(text);
    } else if (arg == L"--log") {
      ok = value(options.logPath);
    } else if (arg == L"--pos") {
      ok = value(text) && ParsePos(text, options);
    } else if (arg == L"--exit-after") {
      ok = number(options.exitAfterS);
    } else {
      ok = false;
    }
    if (!ok) {
      error = L"bad or incomplete option: " + arg;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace chatroom
