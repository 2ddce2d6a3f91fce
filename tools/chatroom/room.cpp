// A chat room shows a transcript, an input box, the people here, a send button and a label.
// Enter in the input box posts its text: the transcript shows it, the box empties and the
// post goes to the log.
#include "room.h"

#include <richedit.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "chatlog.h"
#include "classes.h"
#include "winsupport/text.h"

namespace chatroom {
namespace {

enum class Kind { Room, Welcome, Im };

// The controls of one document window, in the order they are created (the child order
// the program relies on: transcript, input box, people, send button, label).
struct Document {
  Kind kind;
  int number = 0;  // rooms count from 1
  HWND transcript = nullptr;
  HWND input = nullptr;
  HWND people = nullptr;
  HWND send = nullptr;
  HWND label = nullptr;
};

constexpr int kSendId = 101;
constexpr COLORREF kNameColour = RGB(0, 0, 160);
constexpr COLORREF kOwnColour = RGB(160, 0, 0);

std::wstring screenName;
std::wstring logPath;
std::vector<std::unique_ptr<Document>> documents;  // live as long as the process

Document* DocumentOf(HWND hwnd) {
  return reinterpret_cast<Document*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

HWND MakeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id = 0) {
  HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               TRUE);
  return control;
}

HWND MakeRich(HWND parent, bool readOnly) {
  // The A class is created through the W call; the window keeps its ANSI procedure.
  DWORD style =
      WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | (readOnly ? ES_READONLY : 0);
  HWND rich = MakeControl(parent, kRichClass, L"", style);
  SendMessageW(rich, EM_SETBKGNDCOLOR, 0,
               readOnly ? RGB(255, 255, 248) : GetSysColor(COLOR_WINDOW));
  return rich;
}

// Appends a line to a transcript: the speaker in bold colour, then the text.
void AppendToTranscript(HWND transcript, const std::wstring& speaker, COLORREF colour,
                        const std::wstring& text) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_BOLD | CFM_COLOR;
  // Positions in a rich edit count a line break as one character, unlike its text length.
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  auto end = static_cast<LONG>(
      SendMessageW(transcript, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
  CHARRANGE range{end, end};
  SendMessageW(transcript, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (end > 0) SendMessageW(transcript, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r\n"));
  format.dwEffects = CFE_BOLD;
  format.crTextColor = colour;
  SendMessageW(transcript, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  std::wstring head = speaker + L": ";
  SendMessageW(transcript, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(head.c_str()));
  format.dwEffects = 0;
  format.crTextColor = RGB(0, 0, 0);
  SendMessageW(transcript, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  SendMessageW(transcript, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(transcript, WM_VSCROLL, SB_BOTTOM, 0);
}

// Enter in an input box: the whole text of the box is the post.
void PostFromBox(HWND box) {
  HWND window = GetParent(box);
  Document* doc = DocumentOf(window);
  if (doc == nullptr) return;
  int bytes = GetWindowTextLengthA(box);
  std::string ansi(static_cast<std::size_t>(bytes) + 1, '\0');
  ansi.resize(static_cast<std::size_t>(GetWindowTextA(box, ansi.data(), bytes + 1)));
  std::wstring text = winsupport::WideString(winsupport::WindowText(box));
  // Every Enter is logged, an empty one too, so a test sees each Enter that arrived; the
  // transcript, like a chat room, shows only lines with something in them.
  AppendPost(logPath, ansi, doc->number, text);
  if (!text.empty()) AppendToTranscript(doc->transcript, screenName, kOwnColour, text);
  SetWindowTextW(box, L"");
}

void Layout(Document& doc, int width, int height) {
  const int pad = 4, labelH = 18, inputH = 44;
  const int sideW = doc.kind == Kind::Room ? std::min(110, width / 3) : 0;
  const int buttonW = 56;
  int bodyTop = pad + labelH + pad;
  int bodyH = height - bodyTop - pad - inputH - pad;
  int mainW = width - 2 * pad - (sideW ? sideW + pad : 0);
  if (doc.label) MoveWindow(doc.label, pad, pad, width - 2 * pad, labelH, TRUE);
  if (doc.transcript) MoveWindow(doc.transcript, pad, bodyTop, mainW, bodyH, TRUE);
  if (doc.people) MoveWindow(doc.people, width - pad - sideW, bodyTop, sideW, bodyH, TRUE);
  int inputTop = height - pad - inputH;
  if (doc.input) MoveWindow(doc.input, pad, inputTop, width - 3 * pad - buttonW, inputH, TRUE);
  if (doc.send) MoveWindow(doc.send, width - pad - buttonW, inputTop, buttonW, inputH, TRUE);
}

void Populate(HWND hwnd, Document& doc) {
  switch (doc.kind) {
    case Kind::Room: {
      doc.transcript = MakeRich(hwnd, true);
      doc.input = MakeRich(hwnd, false);
      doc.people =
          MakeControl(hwnd, kListboxClass, L"", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT);
      doc.send = MakeControl(hwnd, kIconClass, L"Send", BS_PUSHBUTTON, kSendId);
      std::wstring label = L"Lobby " + std::to_wstring(doc.number) + L": 4 people here";
      doc.label = MakeControl(hwnd, kStaticClass, label.c_str(), SS_LEFT);
      for (const std::wstring& person :
           {screenName, std::wstring(L"Zinnia42"), std::wstring(L"MarigoldFan"),
            std::wstring(L"Host Guide")}) {
        SendMessageW(doc.people, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(person.c_str()));
      }
      MakeInputBox(doc.input, PostFromBox);
      AppendToTranscript(doc.transcript, L"OnlineHost", kNameColour,
                         L"*** You are in \"Lobby " + std::to_wstring(doc.number) + L"\". ***");
      AppendToTranscript(doc.transcript, L"Zinnia42", kNameColour, L"hi all :)");
      break;
    }
    case Kind::Im:
      // Two rich boxes, a button and a label, but no list of people: not a chat room.
      doc.transcript = MakeRich(hwnd, true);
      doc.input = MakeRich(hwnd, false);
      doc.send = MakeControl(hwnd, kIconClass, L"Send", BS_PUSHBUTTON, kSendId);
      doc.label = MakeControl(hwnd, kStaticClass, L"Instant Message", SS_LEFT);
      MakeInputBox(doc.input, PostFromBox);
      break;
    case Kind::Welcome:
      doc.label = MakeControl(hwnd, kStaticClass, L"You have no new mail.", SS_LEFT);
      doc.send = MakeControl(hwnd, kIconClass, L"People Connection", BS_PUSHBUTTON, kSendId);
      break;
  }
}

HWND CreateDocument(HWND mdiClient, Kind kind, int number, const std::wstring& caption,
                    const RECT& place) {
  documents.push_back(std::make_unique<Document>(Document{kind, number}));
  return CreateMDIWindowW(kChildClass, caption.c_str(), WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                          place.left, place.top, place.right - place.left, place.bottom - place.top,
                          mdiClient, GetModuleHandleW(nullptr),
                          reinterpret_cast<LPARAM>(documents.back().get()));
}

}  // namespace

void SetSession(std::wstring name, std::wstring path) {
  screenName = std::move(name);
  logPath = std::move(path);
}

HWND CreateChatRoom(HWND mdiClient, int number, const RECT& place) {
  return CreateDocument(mdiClient, Kind::Room, number, L"Lobby " + std::to_wstring(number), place);
}

HWND CreateWelcome(HWND mdiClient, const std::wstring& caption, const RECT& place) {
  return CreateDocument(mdiClient, Kind::Welcome, 0, caption, place);
}

HWND CreateImWindow(HWND mdiClient, const std::wstring& caption, const RECT& place) {
  return CreateDocument(mdiClient, Kind::Im, 0, caption, place);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      auto* mdi = reinterpret_cast<MDICREATESTRUCTW*>(create->lpCreateParams);
      auto* doc = reinterpret_cast<Document*>(mdi->lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(doc));
      Populate(hwnd, *doc);
      break;
    }
    case WM_SIZE:
      if (Document* doc = DocumentOf(hwnd)) Layout(*doc, LOWORD(lParam), HIWORD(lParam));
      break;  // DefMDIChildProc must see WM_SIZE too
    case WM_COMMAND:
      if (LOWORD(wParam) == kSendId && HIWORD(wParam) == BN_CLICKED) {
        Document* doc = DocumentOf(hwnd);
        if (doc != nullptr && doc->input != nullptr) {
          PostFromBox(doc->input);
          SetFocus(doc->input);
        }
        return 0;
      }
      break;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lParam) == hwnd) {
        if (Document* doc = DocumentOf(hwnd); doc != nullptr && doc->input != nullptr) {
          SetFocus(doc->input);
        }
      }
      break;
  }
  return DefMDIChildProcW(hwnd, message, wParam, lParam);
}

}  // namespace chatroom
