// Hook32 posting chat lines into real rich-edit boxes: which window gets which message, the
// ANSI bytes that arrive, and a client that does not answer.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "banners.h"
#include "hook32/hook32.h"
#include "hook32_windows.h"
#include "host/courier.h"
#include "host/runtime.h"

namespace {

using hook32_test::Client;
using hook32_test::Inbox;
using hook32_test::MakeWindow;
using hook32_test::NthChild;
using hook32_test::ReceivedBy;
using hook32_test::UniqueWindow;

const host::Text kFirstBanner = banners::Load();
// The same line as code page 1252 gives it, typed out to check the conversion itself.
const char kFirstBannerAnsi[] = "\x95 \xBA\x95 MARIGOLD IDLE v1 \x95 Corvid \x95\xBA \x95";

std::string BoxText(HWND box) {
  char text[512] = {};
  GetWindowTextA(box, text, sizeof text);
  return text;
}

class Hook32Post : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "these cases are written for Windows-1252 (LANG=C or en_US)";
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr) << "a chat client is running";
    hook32_test::Inbox().clear();
    // The client's windows are this thread's. The courier may send to them before this thread
    // waits on its queue again, and a thread that has neither waited nor taken a message for
    // 5 s counts as hung: SMTO_ABORTIFHUNG then gives up at once. The tests before may have
    // taken that long on a busy machine, so the stand-in client takes its messages first.
    host::DoEvents();
  }
};

TEST_F(Hook32Post, TextThenEnterGoToTheSecondRichBoxAsAnsiBytes) {
  Client client;
  client.AddDocument("Welcome, Ann!");
  HWND room = client.AddRoom("Lobby");
  HWND transcript = NthChild(room, 0), box = NthChild(room, 1);

  Hook32::PostChatLine(kFirstBanner);
  ASSERT_TRUE(host::WaitForDeliveries(5.0));

  auto got = ReceivedBy(box);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_SETTEXT));
  EXPECT_EQ(got[0].wParam, 0u);
  EXPECT_EQ(got[0].text, kFirstBannerAnsi);
  EXPECT_EQ(static_cast<unsigned char>(got[0].text[0]), 0x95);
  EXPECT_EQ(static_cast<unsigned char>(got[0].text[2]), 0xBA);
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(got[1].wParam, 13u);
  EXPECT_EQ(got[1].lParam, 0);
  EXPECT_TRUE(ReceivedBy(transcript).empty());
  // The real control took the text (Enter alone, with nobody to send it, breaks the line).
  EXPECT_EQ(BoxText(box).substr(0, sizeof kFirstBannerAnsi - 1), kFirstBannerAnsi);
}

TEST_F(Hook32Post, AnEmptyLineStillClearsTheBoxAndTypesEnter) {
  Client client;
  HWND room = client.AddRoom("Lobby");
  HWND box = NthChild(room, 1);
  SetWindowTextA(box, "left over");
  hook32_test::Inbox().clear();

  Hook32::PostChatLine(u"");
  ASSERT_TRUE(host::WaitForDeliveries(5.0));

  auto got = ReceivedBy(box);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_SETTEXT));
  EXPECT_EQ(got[0].text, "");
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(BoxText(box).find("left over"), std::string::npos);
}

TEST_F(Hook32Post, LinesOfEveryLengthArriveWhole) {
  Client client;
  HWND box = NthChild(client.AddRoom("Lobby"), 1);
  for (std::size_t n : {1u, 80u, 1000u}) {
    hook32_test::Inbox().clear();
    std::u16string line(n, u'\u00BA');
    Hook32::PostChatLine(line);
    ASSERT_TRUE(host::WaitForDeliveries(5.0));
    auto got = ReceivedBy(box);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].text, std::string(n, '\xBA')) << "n = " << n;
  }
}

TEST_F(Hook32Post, ARoomWithOneRichBoxGetsNothing) {
  Client client;
  HWND room =
      client.AddDocumentWith("Lobby", {"RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"});
  ASSERT_EQ(Hook32::LocateChatRoom(), hook32_test::H(room));
  Hook32::PostChatLine(u"lost");
  ASSERT_TRUE(host::WaitForDeliveries(5.0));
  EXPECT_TRUE(hook32_test::Inbox().empty());
}

TEST_F(Hook32Post, WithoutTheClientNothingReachesOtherProgramsBoxes) {
  // Top-level windows of the room's classes, as another program might have.
  std::vector<UniqueWindow> strays;
  for (const char* cls : {"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"}) {
    strays.emplace_back(MakeWindow(cls, nullptr));
  }
  Hook32::PostChatLine(u"nowhere");
  ASSERT_TRUE(host::WaitForDeliveries(5.0));
  EXPECT_TRUE(hook32_test::Inbox().empty());
}

long long MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// The client's windows live on a thread that takes no message for `busyMs` once they exist,
// then, when `serves`, serves them for a while; what its input box received, SETTEXT texts and
// "<enter>". A plain system thread: the courier's own is one too.
class BusyClient {
 public:
  BusyClient(DWORD busyMs, bool serves)
      : busyMs_(busyMs),
        serves_(serves),
        built_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        thread_(CreateThread(nullptr, 0, &BusyClient::Main, this, 0, nullptr)) {
    WaitForSingleObject(built_, 10000);
  }
  ~BusyClient() {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(built_);
  }
  std::vector<std::string> Received() {
    WaitForSingleObject(thread_, INFINITE);
    return got_;
  }

 private:
  static DWORD WINAPI Main(void* self) {
    static_cast<BusyClient*>(self)->Serve();
    return 0;
  }
  void Serve() {
    Client client;
    HWND box = NthChild(client.AddRoom("Lobby"), 1);
    SetEvent(built_);
    Sleep(busyMs_);  // hung: no message is handled meanwhile
    if (!serves_) return;
    for (auto start = std::chrono::steady_clock::now(); MsSince(start) < 1500;) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    for (const auto& r : ReceivedBy(box)) {
      got_.push_back(r.message == WM_SETTEXT ? r.text : "<enter>");
    }
    Inbox().clear();
  }

  DWORD busyMs_;
  bool serves_;
  HANDLE built_;
  HANDLE thread_;
  std::vector<std::string> got_;
};

// The caller hands lines over at once, whatever the client does; a client that answers late
// still gets every line whole and in order, and one that does not answer costs the courier
// at most the two timeouts of each line.
TEST_F(Hook32Post, AClientThatDoesNotAnswerNeverHoldsTheCallerUp) {
  struct Case {
    DWORD busyMs;
    bool delivered;
  };
  const DWORD timeout = Hook32::kChatSendTimeoutMs;
  for (Case c : {Case{timeout / 2, true}, Case{3 * timeout, false}}) {
    SCOPED_TRACE(c.busyMs);
    BusyClient client(c.busyMs, c.delivered);
    auto start = std::chrono::steady_clock::now();
    for (const char16_t* line : {u"one", u"two", u"three"}) Hook32::PostChatLine(line);
    // A few milliseconds; a line sent from the caller's thread would cost it a timeout.
    EXPECT_LT(MsSince(start), 1000) << "handing the lines over";
    EXPECT_TRUE(host::WaitForDeliveries(3 * 2 * timeout / 1000.0 + 2.0));
    long long courier = MsSince(start);
    std::vector<std::string> got = client.Received();
    if (c.delivered) {
      EXPECT_EQ(got,
                (std::vector<std::string>{"one", "<enter>", "two", "<enter>", "three", "<enter>"}));
      EXPECT_LT(courier, c.busyMs + 1000);
    } else {
      // The first message waits its timeout; by then the rest may find the window hung.
      EXPECT_LE(courier, 3 * 2 * static_cast<long long>(timeout) + 1000);
      EXPECT_GE(courier, static_cast<long long>(timeout) - 100);
    }
  }
}

}  // namespace
