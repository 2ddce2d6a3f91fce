// Hook32 reading captions of real windows through the ANSI functions: the screen name from
// the Welcome window, the Instant Message sender, and captions of every length.
#include <gtest/gtest.h>

#include <string>

#include "hook32/hook32.h"
#include "hook32_windows.h"
#include "host/text.h"

namespace {

using hook32_test::Client;
using hook32_test::H;
using host::Text;

class Hook32Captions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "these cases are written for Windows-1252 (LANG=C or en_US)";
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr) << "a chat client is running";
  }
};

TEST_F(Hook32Captions, CaptionOfNSingleByteCharactersComesBackWithNCharacters) {
  Client client;
  HWND doc = client.AddDocument("");
  for (std::size_t n : {1u, 2u, 9u, 95u, 255u, 1000u}) {
    std::string bytes;
    // ASCII and the upper half of the code page alike: each is one byte and one character.
    for (std::size_t i = 0; i < n; ++i) bytes += static_cast<char>(0x20 + (i * 7) % 0xE0);
    ASSERT_TRUE(SetWindowTextA(doc, bytes.c_str()));
    Text caption = Hook32::ReadWindowCaption(H(doc));
    EXPECT_EQ(caption.size(), n);
    EXPECT_EQ(caption.find(u'\0'), Text::npos) << "n = " << n;
    EXPECT_EQ(caption, host::FromAnsi(bytes)) << "n = " << n;
  }
  ASSERT_TRUE(SetWindowTextA(doc, "\x95\xBA"));
  EXPECT_EQ(Hook32::ReadWindowCaption(H(doc)), u"\u2022\u00BA");
  ASSERT_TRUE(SetWindowTextA(doc, ""));
  EXPECT_EQ(Hook32::ReadWindowCaption(H(doc)), u"");
}

TEST_F(Hook32Captions, UnicodeCaptionIsReadInTheCodePage) {
  Client client;
  // A character the code page lacks comes back as its default character.
  HWND doc = client.AddDocumentW(L"Welcome, A\u4E2Db \u2022!");
  EXPECT_EQ(Hook32::ReadWindowCaption(H(doc)), u"Welcome, A?b \u2022!");
  EXPECT_EQ(Hook32::ReadScreenName(), u"A?b \u2022");
}

TEST_F(Hook32Captions, ScreenNameFromTheWelcomeCaption) {
  struct Case {
    const char* caption;  // ANSI bytes
    Text name;
  };
  const Case cases[] = {
      {"Welcome, ab!", u"ab"},
      {"Welcome, !", u""},
      {"Welcome, ab!cd!", u"ab"},
      {"Welcome, Mr Ann 42 & co!", u"Mr Ann 42 & co"},
      {"Welcome, \xBA\x95x!", u"\u00BA\u2022x"},
      {" Welcome, ab!", u""},
      {"welcome, ab!", u""},
      {"Welcome,ab!", u""},
      {"Welcome, ab", u"ab"},  // no "!": the rest of the caption
  };
  for (const Case& c : cases) {
    Client client;
    client.AddDocument(c.caption);
    EXPECT_EQ(Hook32::ReadScreenName(), c.name) << c.caption;
  }
}

TEST_F(Hook32Captions, ScreenNameFromTheFirstWelcomeAmongOtherDocuments) {
  Client client;
  client.AddRoom("Lobby");
  client.AddDocument("Welcome, Second!");
  client.AddDocument("Welcome, First!");  // newest, so first in child order
  client.AddDocument("Instant Message: Zed");
  ASSERT_EQ(Hook32::ReadWindowCaption(H(client.DocumentsInChildOrder()[1])), u"Welcome, First!");
  EXPECT_EQ(Hook32::ReadScreenName(), u"First");
}

TEST_F(Hook32Captions, InstantMessageWindowAndSender) {
  struct Case {
    const char* caption;
    bool isIm;
    Text sender;
  };
  const Case cases[] = {
      {"Instant Message: ab", true, u"ab"},
      {">Instant Message: ab", true, u"ab"},
      {"  Instant Message: Zinnia 42", true, u"Zinnia 42"},
      {"   Instant Message: ab", false, u""},  // starts at 4: not an IM window
      {"instant message: ab", false, u""},
      {"Instant Message:x", true, u""},  // one character after the colon
      {"Instant Message: \x95\xBA", true, u"\u2022\u00BA"},
      {"Instant Message", true, u""},   // no colon
      {"Instant Message:", true, u""},  // colon last
      {"Instant Message from: a: b", true, u"a: b"},
  };
  for (const Case& c : cases) {
    Client client;
    HWND im = client.AddDocument(c.caption);
    EXPECT_EQ(Hook32::LocateImWindow(), c.isIm ? H(im) : 0u) << c.caption;
    EXPECT_EQ(Hook32::ReadImSender(), c.sender) << c.caption;
  }
}

}  // namespace
