// Finding the chat client's windows: the walk over its AOL Child windows, the chat-room
// test, the Welcome and Instant Message captions, and reading captions.
#include <string>
#include <vector>

#include "hook32_fixture.h"
#include "rows.h"

namespace {

using Locate = Hook32Test;

TEST_F(Locate, WithoutTheClientOrWithAnEmptyMdiAreaEveryRoutineFindsNothing) {
  // Windows of the client's classes at the top level, other programs', must not make handle 0
  // a room nor give a screen name.
  for (const char* c :
       {"AOL Child", "RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"})
    sim::CreateWindow(0, c, u"Welcome, X!");
  for (bool client : {false, true}) {
    if (client) client_ = sim::StartChatClient();
    EXPECT_EQ(Hook32::LocateChatRoom(), 0u) << client;
    EXPECT_EQ(Hook32::ReadScreenName(), u"");
    EXPECT_EQ(Hook32::LocateImWindow(), 0u);
    EXPECT_EQ(Hook32::ReadImSender(), u"");
  }
}

TEST_F(Locate, OnlyChildrenOfTheFirstFramesFirstMdiAreaCount) {
  client_ = sim::StartChatClient();
  // A second MDI area and a second frame, each with a full room and a Welcome window.
  sim::ChatClient second{client_.frame, sim::CreateWindow(client_.frame, "MDIClient")};
  sim::AddChatRoom(second);
  sim::AddWelcome(second, u"Other");
  sim::ChatClient later = sim::StartChatClient();
  sim::AddChatRoom(later);
  sim::AddWelcome(later, u"Later");
  // Rooms hung directly under the frame are outside the MDI area.
  sim::Hwnd stray = sim::CreateWindow(client_.frame, "AOL Child", u"Welcome, Stray!");
  for (const auto& c : kRoomClasses) sim::CreateWindow(stray, c);
  EXPECT_EQ(Hook32::LocateChatRoom(), 0u);
  EXPECT_EQ(Hook32::ReadScreenName(), u"");
}

struct RoomCase {
  const char* name;
  std::vector<std::vector<std::string>> children;  // classes of each AOL Child, in order
  int room;                                        // index of the expected room, -1: none
};

const RoomCase kRoomRows[] = {
    {"third_of_three", {{}, {"RICHCNTL", "_AOL_Icon"}, kRoomClasses}, 2},
    {"first_of_two_rooms", {{"_AOL_Static"}, kRoomClasses, kRoomClasses}, 1},
    {"one_richcntl_is_enough", {{"_AOL_Static", "_AOL_Icon", "_AOL_Listbox", "RICHCNTL"}}, 0},
    {"no_richcntl", {{"_AOL_Listbox", "_AOL_Icon", "_AOL_Static"}}, -1},
    {"no_listbox", {{"RICHCNTL", "RICHCNTL", "_AOL_Icon", "_AOL_Static"}}, -1},
    {"no_icon", {{"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Static"}}, -1},
    {"no_static", {{"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon"}}, -1},
    {"classes_spread_over_two_children",
     {{"RICHCNTL", "_AOL_Listbox"}, {"_AOL_Icon", "_AOL_Static"}},
     -1},
};
using ChatRoomIsTheFirstChildWithAllFourClassesDirectlyUnderIt = Rows<Locate, RoomCase>;

TEST_P(ChatRoomIsTheFirstChildWithAllFourClassesDirectlyUnderIt, EachRow) {
  const RoomCase& c = GetParam();
  client_ = sim::StartChatClient();
  std::vector<sim::Hwnd> made;
  for (const auto& classes : c.children) made.push_back(AddChildWith(classes));
  sim::Hwnd expected = c.room < 0 ? 0 : made[static_cast<std::size_t>(c.room)];
  EXPECT_EQ(Hook32::LocateChatRoom(), expected);
}
INSTANTIATE_TEST_SUITE_P(Locate, ChatRoomIsTheFirstChildWithAllFourClassesDirectlyUnderIt,
                         ::testing::ValuesIn(kRoomRows), RowName());

TEST_F(Locate, ClassesOneLevelDeeperDoNotMakeARoom) {
  client_ = sim::StartChatClient();
  sim::Hwnd child = sim::AddChild(client_, u"Lobby");
  sim::Hwnd inner = sim::CreateWindow(child, "AOL View");
  for (const auto& c : kRoomClasses) sim::CreateWindow(inner, c);
  EXPECT_EQ(Hook32::LocateChatRoom(), 0u);
}

TEST_F(Locate, OnlyAolChildWindowsAreCandidates) {
  client_ = sim::StartChatClient();
  sim::Hwnd other = sim::CreateWindow(client_.mdi, "AOL Chatroom");
  for (const auto& c : kRoomClasses) sim::CreateWindow(other, c);
  EXPECT_EQ(Hook32::LocateChatRoom(), 0u);
  sim::ChatRoom room = sim::AddChatRoom(client_);
  EXPECT_EQ(Hook32::LocateChatRoom(), room.window);
}

TEST_F(Locate, EachCallSearchesAfresh) {
  client_ = sim::StartChatClient();
  sim::ChatRoom first = sim::AddChatRoom(client_, u"One");
  sim::ChatRoom second = sim::AddChatRoom(client_, u"Two");
  EXPECT_EQ(Hook32::LocateChatRoom(), first.window);
  sim::DestroyWindow(first.window);
  EXPECT_EQ(Hook32::LocateChatRoom(), second.window);
  sim::DestroyWindow(second.window);
  EXPECT_EQ(Hook32::LocateChatRoom(), 0u);
}

struct CaptionCase {
  const char* name;
  host::Text caption;
  host::Text expected;
};

const CaptionCase kScreenNameRows[] = {
    {"plain_name", u"Welcome, Nick1!", u"Nick1"},
    {"empty_name", u"Welcome, !", u""},
    {"bang_inside", u"Welcome, ab!cd!", u"ab"},
    {"blank_inside_then_two_bangs", u"Welcome, Mr Big!!", u"Mr Big"},
    {"cp1252_characters_whole", u"Welcome, Zo\u00EB\u2122!", u"Zo\u00EB\u2122"},
    {"blank_before_welcome", u" Welcome, ab!", u""},  // not the Welcome
    {"lower_case_welcome", u"welcome, ab!", u""},     // not the Welcome
    {"no_blank_after_the_comma", u"Welcome,ab!", u""},
    {"no_bang", u"Welcome, ab", u"ab"},  // the rest of the caption
    {"nothing_after_welcome", u"Welcome, ", u""},
};
using ScreenNameIsCutBetweenWelcomeAndTheFirstBang = Rows<Locate, CaptionCase>;

TEST_P(ScreenNameIsCutBetweenWelcomeAndTheFirstBang, EachRow) {
  const CaptionCase& c = GetParam();
  client_ = sim::StartChatClient();
  sim::AddChild(client_, u"Buddy List");
  sim::AddChild(client_, c.caption);
  EXPECT_EQ(Hook32::ReadScreenName(), c.expected) << host::ToUtf8(c.caption);
}
INSTANTIATE_TEST_SUITE_P(Locate, ScreenNameIsCutBetweenWelcomeAndTheFirstBang,
                         ::testing::ValuesIn(kScreenNameRows), RowName());

TEST_F(Locate, TheFirstWelcomeWindowGivesTheName) {
  client_ = sim::StartChatClient();
  sim::AddChild(client_, u"welcome, lower!");
  sim::AddWelcome(client_, u"First");
  sim::AddWelcome(client_, u"Second");
  EXPECT_EQ(Hook32::ReadScreenName(), u"First");
}

struct ImCaptionCase {
  const char* name;
  host::Text caption;
  bool passes;
};

const ImCaptionCase kImCaptionRows[] = {
    {"at_position_one", u"Instant Message From: Bob", true},
    {"at_position_two", u">Instant Message From: Bob", true},
    {"at_position_three", u"  Instant Message", true},
    {"at_position_four", u"abcInstant Message", false},
    {"lower_case", u"instant message from: bob", false},
    {"upper_case", u"INSTANT MESSAGE", false},
    {"last_letter_missing", u"Instant Messag", false},
    {"empty_caption", u"", false},
};
using InstantMessageWindowHasTheWordsAtPositionOneToThree = Rows<Locate, ImCaptionCase>;

TEST_P(InstantMessageWindowHasTheWordsAtPositionOneToThree, EachRow) {
  const ImCaptionCase& c = GetParam();
  client_ = sim::StartChatClient();
  sim::AddChild(client_, u"Buddy List");
  sim::Hwnd im = sim::AddChild(client_, c.caption);
  EXPECT_EQ(Hook32::LocateImWindow(), c.passes ? im : 0u) << host::ToUtf8(c.caption);
}
INSTANTIATE_TEST_SUITE_P(Locate, InstantMessageWindowHasTheWordsAtPositionOneToThree,
                         ::testing::ValuesIn(kImCaptionRows), RowName());

TEST_F(Locate, TheFirstInstantMessageWindowIsFound) {
  client_ = sim::StartChatClient();
  sim::AddChild(client_, u"1234Instant Message");
  sim::Hwnd first = sim::AddChild(client_, u" Instant Message From: A");
  sim::AddChild(client_, u"Instant Message From: B");
  EXPECT_EQ(Hook32::LocateImWindow(), first);
  EXPECT_EQ(Hook32::ReadImSender(), u"A");
}

const CaptionCase kImSenderRows[] = {
    {"from_and_one_blank", u"Instant Message From: Bob", u"Bob"},
    {"second_blank_kept", u"Instant Message From:  Bob", u" Bob"},
    {"any_character_separates", u"Instant Message From:xBob", u"Bob"},
    {"first_colon_counts", u"Instant Message From: a:b", u"a:b"},
    {"without_from", u"Instant Message: x", u"x"},
    {"one_character_after_the_colon", u"Instant Message:x", u""},
    {"no_colon", u"Instant Message From Bob", u""},
    {"colon_last", u"Instant Message:", u""},
};
using ImSenderFollowsTheColonAndOneSeparator = Rows<Locate, CaptionCase>;

TEST_P(ImSenderFollowsTheColonAndOneSeparator, EachRow) {
  const CaptionCase& c = GetParam();
  client_ = sim::StartChatClient();
  sim::AddChild(client_, c.caption);
  EXPECT_EQ(Hook32::ReadImSender(), c.expected) << host::ToUtf8(c.caption);
}
INSTANTIATE_TEST_SUITE_P(Locate, ImSenderFollowsTheColonAndOneSeparator,
                         ::testing::ValuesIn(kImSenderRows), RowName());

TEST_F(Locate, CaptionsComeBackWithExactlyTheirLength) {
  EXPECT_EQ(Hook32::ReadWindowCaption(0), u"");
  sim::Hwnd plain = sim::CreateWindow(0, "Static", u"abc");
  EXPECT_EQ(Hook32::ReadWindowCaption(plain), u"abc");
  EXPECT_EQ(Hook32::ReadWindowCaption(sim::CreateWindow(0, "Static", u"1")), u"1");
  sim::Hwnd empty = sim::CreateWindow(0, "Static", u"");
  EXPECT_EQ(Hook32::ReadWindowCaption(empty), u"");
  // Longer than any fixed buffer would be.
  host::Text longCaption(1000, u'x');
  longCaption += u"!end";
  sim::Hwnd big = sim::CreateWindow(0, "Static", longCaption);
  EXPECT_EQ(Hook32::ReadWindowCaption(big), longCaption);
  sim::Hwnd ansi = sim::CreateWindow(0, "Static");
  sim::SetCaptionBytes(ansi, "\x95 \xBA\x80");
  EXPECT_EQ(Hook32::ReadWindowCaption(ansi), u"\u2022 \u00BA\u20AC");
  sim::DestroyWindow(plain);
  EXPECT_EQ(Hook32::ReadWindowCaption(plain), u"");
}

TEST_F(Locate, AnOverReportedLengthLeavesTrailingNulCharacters) {
  sim::Hwnd w = sim::CreateWindow(0, "Static", u"abc");
  sim::SetLengthOverReport(w, 2);
  EXPECT_EQ(Hook32::ReadWindowCaption(w), host::Text(u"abc\0\0", 5));
}

}  // namespace

namespace {

// On a double-byte code page the host reports more bytes than the caption has; a name or
// sender that runs to the caption's end must come back without the padding, or the banner
// that carries it would end at the first U+0000.
TEST_F(Hook32Test, NamesRunningToTheCaptionsEndCarryNoPadding) {
  client_ = sim::StartChatClient();
  sim::Hwnd welcome = sim::AddChild(client_, u"Welcome, No Bang");
  sim::Hwnd im = sim::AddChild(client_, u"Instant Message: Pal");
  sim::SetLengthOverReport(welcome, 4);
  sim::SetLengthOverReport(im, 3);
  EXPECT_EQ(Hook32::ReadScreenName(), u"No Bang");
  EXPECT_EQ(Hook32::ReadImSender(), u"Pal");
  // With the "!" the name ends there, padding or not.
  sim::SetCaption(welcome, u"Welcome, Nick1!");
  sim::SetLengthOverReport(welcome, 4);
  EXPECT_EQ(Hook32::ReadScreenName(), u"Nick1");
}

}  // namespace
