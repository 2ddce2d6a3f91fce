// Hook32 posting chat lines into real rich-edit boxes: which window gets which message, the
// ANSI bytes that arrive, and a client that does not answer.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "banners.h"
#include "hook32/hook32.h"
#include "hook32_windows.h"

namespace {

using hook32_test::Client;
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
  }
};

TEST_F(Hook32Post, TextThenEnterGoToTheSecondRichBoxAsAnsiBytes) {
  Client client;
  client.AddDocument("Welcome, Ann!");
  HWND room = client.AddRoom("Lobby");
  HWND transcript = NthChild(room, 0), box = NthChild(room, 1);

  Hook32::PostChatLine(kFirstBanner);

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
    auto got = ReceivedBy(box);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].text, std::string(n, '\xBA')) << "n = " << n;
  }
}

TEST_F(Hook32Post, ARoomWithOneRichBoxGetsNothing) {
  Client client;
  HWND room =
      client.AddDocumentWith("Lobby", {"RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"});
  ASSERT_EQ(Hook32::LocateChatRoom(), reinterpret_cast<host::Hwnd>(room));
  Hook32::PostChatLine(u"lost");
  EXPECT_TRUE(hook32_test::Inbox().empty());
}

TEST_F(Hook32Post, WithoutTheClientNothingReachesOtherProgramsBoxes) {
  // Top-level windows of the room's classes, as another program might have.
  std::vector<UniqueWindow> strays;
  for (const char* cls : {"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"}) {
    strays.emplace_back(MakeWindow(cls, nullptr));
  }
  Hook32::PostChatLine(u"nowhere");
  EXPECT_TRUE(hook32_test::Inbox().empty());
}

TEST_F(Hook32Post, AClientThatDoesNotAnswerCostsAtMostTheTimeouts) {
  // The client's windows live on a thread that stops taking messages once they exist.
  HANDLE built = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread clientThread([&] {
    Client client;
    client.AddRoom("Lobby");
    SetEvent(built);
    WaitForSingleObject(release, 30000);  // hung: no message is handled meanwhile
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  });
  ASSERT_EQ(WaitForSingleObject(built, 10000), WAIT_OBJECT_0);

  auto start = std::chrono::steady_clock::now();
  Hook32::PostChatLine(u"anyone there?");
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);

  SetEvent(release);
  clientThread.join();
  CloseHandle(built);
  CloseHandle(release);
  EXPECT_LE(took.count(), 2 * static_cast<long long>(Hook32::kChatSendTimeoutMs) + 1000);
}

}  // namespace
