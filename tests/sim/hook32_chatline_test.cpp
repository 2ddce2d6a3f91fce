// Posting a line into the chat room: the input box gets the line's ANSI bytes then Enter,
// and a missing or hung chat client never stops the program.
#include <string>
#include <vector>

#include "hook32_fixture.h"
#include "host/courier.h"
#include "rows.h"

namespace {

class PostChatLine : public Hook32Test {
 protected:
  void SetUp() override {
    Hook32Test::SetUp();
    client_ = sim::StartChatClient();
    room_ = sim::AddChatRoom(client_);
  }
  sim::ChatRoom room_;
};

struct LineCase {
  const char* name;
  host::Text line;
  std::string bytes;
};
const LineCase kLineRows[] = {
    {"bullets_and_ordinal", u"\u2022 \u00BA\u2022", "\x95\x20\xBA\x95"},
    {"empty_line", u"", ""},  // still empties the box and types Enter
    {"accent_and_euro", u"caf\u00E9 \u20AC5",
     "caf\xE9 \x80"
     "5"},
    {"no_counterpart_in_the_code_page", u"a\u4E00b", "a?b"},
    {"blanks_and_tab_kept", u"  two  blanks \t", "  two  blanks \t"},
};
using TheInputBoxGetsTheAnsiTextThenEnter = Rows<PostChatLine, LineCase>;

TEST_P(TheInputBoxGetsTheAnsiTextThenEnter, EachRow) {
  const LineCase& c = GetParam();
  Hook32::PostChatLine(c.line);
  const auto& got = sim::Messages(room_.input);
  ASSERT_EQ(got.size(), 2u) << c.bytes;
  EXPECT_EQ(got[0].message, host::kWmSetText);
  EXPECT_EQ(got[0].wParam, 0u);
  EXPECT_EQ(got[0].text, c.bytes);
  EXPECT_EQ(got[1].message, host::kWmChar);
  EXPECT_EQ(got[1].wParam, 13u);
  EXPECT_EQ(got[1].lParam, 0);
  EXPECT_EQ(sim::PostedLines(room_), std::vector<std::string>{c.bytes});
  EXPECT_TRUE(sim::Messages(room_.transcript).empty());
}
INSTANTIATE_TEST_SUITE_P(PostChatLine, TheInputBoxGetsTheAnsiTextThenEnter,
                         ::testing::ValuesIn(kLineRows), RowName());

TEST_F(PostChatLine, LinesGoToTheFirstRoomOnly) {
  sim::ChatRoom second = sim::AddChatRoom(client_, u"Second");
  Hook32::PostChatLine(u"one");
  Hook32::PostChatLine(u"two");
  EXPECT_EQ(sim::PostedTexts(room_), (std::vector<host::Text>{u"one", u"two"}));
  EXPECT_TRUE(sim::Messages(second.input).empty());
  EXPECT_TRUE(sim::Messages(second.transcript).empty());
}

TEST_F(PostChatLine, ARoomWithOneRichEditGetsNothing) {
  sim::Reset();
  client_ = sim::StartChatClient();
  sim::Hwnd room = AddChildWith({"RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"});
  sim::Hwnd only = host::FindWindowExA(room, 0, "RICHCNTL", nullptr);
  Hook32::PostChatLine(u"lost");
  EXPECT_TRUE(sim::Messages(only).empty());
}

TEST_F(PostChatLine, WithoutAClientNothingHappens) {
  sim::Reset();
  Hook32::PostChatLine(u"nobody hears this");
  client_ = sim::StartChatClient();
  sim::Hwnd welcome = sim::AddChild(client_, u"Welcome, Nick1!");
  Hook32::PostChatLine(u"nor this");
  EXPECT_EQ(sim::SendMessageCalls(), 0);
  EXPECT_EQ(sim::SendMessageTimeoutCalls(), 0);
  for (sim::Hwnd w : {client_.frame, client_.mdi, welcome}) EXPECT_TRUE(sim::Messages(w).empty());
  EXPECT_EQ(sim::CaptionBytes(welcome), "Welcome, Nick1!");
}

TEST_F(PostChatLine, AHungInputBoxIsGivenUpOnWithoutBlocking) {
  sim::SetHung(room_.input, true);
  double before = sim::Now();
  Hook32::PostChatLine(u"into the void");
  EXPECT_EQ(sim::SendMessageCalls(), 0);  // a plain send would never return
  EXPECT_EQ(sim::SendMessageTimeoutCalls(), 2);
  EXPECT_NE(sim::LastTimeoutFlags() & host::kSmtoAbortIfHung, 0u);
  EXPECT_GT(sim::LastTimeoutMs(), 0u);
  EXPECT_LE(sim::LastTimeoutMs(), 5000u);
  EXPECT_EQ(sim::Now(), before);
  EXPECT_TRUE(sim::Messages(room_.input).empty());
  EXPECT_TRUE(sim::PostedLines(room_).empty());
  // Once the client answers again, the next line goes through.
  sim::SetHung(room_.input, false);
  Hook32::PostChatLine(u"back");
  EXPECT_EQ(sim::PostedTexts(room_), std::vector<host::Text>{u"back"});
}

}  // namespace

namespace {

// Lines waiting behind a hung client are bounded: past the bound the oldest makes room, and
// the rest keep their order.
TEST(CourierQueue, KeepsTheNewestLinesInOrderPastItsBound) {
  host::CourierQueue queue;
  std::vector<int> ran;
  const int handed = static_cast<int>(host::kCourierBacklog) + 3;
  int dropped = 0;
  for (int i = 0; i < handed; ++i) dropped += queue.Push([&ran, i] { ran.push_back(i); });
  EXPECT_EQ(dropped, 3);
  EXPECT_EQ(queue.Dropped(), 3u);
  EXPECT_EQ(queue.Size(), host::kCourierBacklog);
  for (host::Job job; queue.Pop(job);) job();
  std::vector<int> expected;
  for (int i = 3; i < handed; ++i) expected.push_back(i);
  EXPECT_EQ(ran, expected);
  EXPECT_EQ(queue.Size(), 0u);
}

}  // namespace
