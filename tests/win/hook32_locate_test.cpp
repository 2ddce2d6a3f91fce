// Hook32 finding the chat client's windows among real windows: the frame, its MDI client and
// the documents in the order the system lists them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hook32/hook32.h"
#include "hook32_windows.h"

namespace {

using hook32_test::Client;
using hook32_test::H;
using hook32_test::MakeWindow;

class Hook32Locate : public ::testing::Test {
 protected:
  void SetUp() override {
    hook32_test::RegisterClientClasses();
    // Another chat client on the desktop would be found before the test's own windows.
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr) << "a chat client is running";
  }
};

// Finding nothing (no client, an empty MDI area, stray top-level windows of the client's
// classes) is hook32's own walk over the window functions, proven on the simulated desktop
// (tests/sim/hook32_locate_test.cpp); here is what only the real system decides: child order.
TEST_F(Hook32Locate, OnlyADocumentWithAllFourClassesAsDirectChildrenIsARoom) {
  Client client;
  // Made first, so it ends up last in child order: the walk must pass the others.
  HWND room = client.AddRoom("Lobby");
  HWND deeper = client.AddDocument("Nested");
  HWND holder = MakeWindow("Holder", deeper);
  for (const char* cls : {"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"}) {
    MakeWindow(cls, holder);
  }
  const std::vector<std::initializer_list<const char*>> threeOfFour = {
      {"_AOL_Listbox", "_AOL_Icon", "_AOL_Static"},
      {"RICHCNTL", "RICHCNTL", "_AOL_Icon", "_AOL_Static"},
      {"RICHCNTL", "_AOL_Listbox", "_AOL_Static"},
      {"RICHCNTL", "_AOL_Listbox", "_AOL_Icon"},
  };
  for (const auto& classes : threeOfFour) client.AddDocumentWith("Almost", classes);

  std::vector<HWND> order = client.DocumentsInChildOrder();
  ASSERT_EQ(order.size(), 6u);
  ASSERT_EQ(order.back(), room) << "an MDI client lists the newest (active) document first";
  EXPECT_EQ(Hook32::LocateChatRoom(), H(room));
}

TEST_F(Hook32Locate, TheFirstRoomInChildOrderWinsAndEachCallLooksAfresh) {
  Client client;
  HWND older = client.AddRoom("Lobby 2");
  HWND newer = client.AddRoom("Lobby 1");
  std::vector<HWND> order = client.DocumentsInChildOrder();
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(Hook32::LocateChatRoom(), H(order[0]));

  // Activating the other room brings it to the front of the child order.
  SendMessageA(client.Mdi(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(order[1]), 0);
  std::vector<HWND> after = client.DocumentsInChildOrder();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(Hook32::LocateChatRoom(), H(after[0]));
  EXPECT_NE(after[0], order[0]);

  // A room that closes is gone from the next search.
  DestroyWindow(after[0]);
  HWND left = after[0] == older ? newer : older;
  EXPECT_EQ(Hook32::LocateChatRoom(), H(left));
}

TEST_F(Hook32Locate, PlainChildrenComeInCreationOrder) {
  // PostChatLine relies on the input box being the second RICHCNTL made in a room.
  Client client;
  HWND room = client.AddRoom("Lobby");
  HWND transcript = hook32_test::NthChild(room, 0);
  HWND box = hook32_test::NthChild(room, 1);
  EXPECT_EQ(FindWindowExA(room, nullptr, "RICHCNTL", nullptr), transcript);
  EXPECT_EQ(FindWindowExA(room, transcript, "RICHCNTL", nullptr), box);
  // Class names match without regard to case.
  EXPECT_EQ(FindWindowExA(room, nullptr, "richcntl", nullptr), transcript);
}

}  // namespace
