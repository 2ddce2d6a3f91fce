// The simulated desktop as the program meets it: window searches, captions, messages,
// hung windows, and the forms' windows, geometry, message boxes and mouse input.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/platform.h"
#include "host/runtime.h"
#include "host/sim/sim.h"
#include "host/user32.h"

namespace {

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override { sim::Reset(); }
};

// Searches among children and captions are the host contract's (tests/contract); these are
// the simulated desktop's own: top-level windows in creation order, and what goes with a window.
TEST_F(Desktop, TopLevelSearchesFollowCreationOrderAndDestroyingTakesTheChildren) {
  sim::Hwnd a = sim::CreateWindow(0, "Top", u"abc\u2022def");
  sim::Hwnd b = sim::CreateWindow(0, "TOP");
  sim::Hwnd kid = sim::CreateWindow(a, "Kid");
  EXPECT_EQ(host::FindWindowA("top", nullptr), a);
  EXPECT_EQ(host::FindWindowExA(0, a, "Top", nullptr), b);
  EXPECT_EQ(host::FindWindowExA(a, b, "KID", nullptr), 0u);  // b is not a's child
  EXPECT_EQ(host::FindWindowA("Kid", nullptr), 0u);          // children are not top-level
  EXPECT_EQ(sim::CaptionBytes(a),
            "abc\x95"
            "def");
  sim::SetLengthOverReport(a, 3);
  EXPECT_EQ(host::GetWindowTextLengthA(a), 10);
  sim::DestroyWindow(a);
  EXPECT_FALSE(sim::IsWindow(kid));
  EXPECT_EQ(host::FindWindowA("Top", nullptr), b);
  EXPECT_EQ(host::FindWindowExA(a, 0, "Kid", nullptr), 0u);
}

TEST_F(Desktop, MessagesAreLoggedAndGoNowhereWithoutAWindow) {
  sim::ChatClient client = sim::StartChatClient();
  sim::ChatRoom room = sim::AddChatRoom(client);
  const char text[] = "hi\0ignored";
  EXPECT_EQ(
      host::SendMessageA(room.input, host::kWmSetText, 0, reinterpret_cast<std::intptr_t>(text)),
      1);
  EXPECT_EQ(sim::CaptionBytes(room.input), "hi");
  EXPECT_TRUE(host::SendMessageTimeoutA(room.input, host::kWmChar, 13, 0, 0, 100));
  EXPECT_EQ(sim::PostedLines(room), std::vector<std::string>{"hi"});
  EXPECT_EQ(sim::CaptionBytes(room.input), "");
  std::uint32_t zero = 0;
  host::SendMessageA(client.frame, host::kWmSysCommand, 0xFFFFF012u,
                     reinterpret_cast<std::intptr_t>(&zero));
  ASSERT_EQ(sim::Messages(client.frame).size(), 1u);
  EXPECT_EQ(sim::Messages(client.frame)[0].lParamTarget, 0u);
  EXPECT_EQ(sim::Messages(client.frame)[0].wParam, 0xFFFFF012u);
  sim::DestroyWindow(room.window);
  EXPECT_FALSE(host::SendMessageTimeoutA(room.input, host::kWmChar, 13, 0, 0, 100));
  EXPECT_EQ(sim::Messages(room.input).size(), 2u);  // nothing more arrived
}

TEST_F(Desktop, AHungWindowTimesOutOrFailsTheTest) {
  sim::Hwnd w = sim::CreateWindow(0, "RICHCNTL");
  sim::SetHung(w, true);
  EXPECT_FALSE(host::SendMessageTimeoutA(w, host::kWmChar, 13, 0, host::kSmtoAbortIfHung, 2000));
  EXPECT_EQ(sim::Now(), 43200);
  EXPECT_FALSE(host::SendMessageTimeoutA(w, host::kWmChar, 13, 0, 0, 2000));
  EXPECT_EQ(sim::Now(), 43202);  // without the flag the caller sits out the timeout
  EXPECT_TRUE(sim::Messages(w).empty());
  EXPECT_TRUE(sim::Faults().empty());
  EXPECT_THROW(host::SendMessageA(w, host::kWmChar, 13, 0), sim::HungWindowSend);
  EXPECT_EQ(sim::Faults().size(), 1u);
}

// A form with two labels; the second lies partly below the client area.
class Panel : public host::Form {
 public:
  Panel() : host::Form("Panel") {
    SetCaption(u"Marigold");
    SetClientArea({300, 4110, 1770, 900});
    AddLabel("LabelA", {0, 0, 600, 300}, 0).Click = [this] { clicks.push_back("A"); };
    AddLabel("LabelB", {1000, 600, 400, 600}, 1).Click = [this] { clicks.push_back("B"); };
    AddLabel("LabelOff", {0, 1000, 100, 100}, 2);
  }
  void Form_MouseDown(int button, int, float x, float y) override {
    clicks.push_back("down" + std::to_string(button) + "@" + std::to_string(int(x)) + "," +
                     std::to_string(int(y)));
  }
  std::vector<std::string> clicks;
};

TEST_F(Desktop, AFormIsATopLevelWindowOnceLoaded) {
  Panel form;
  host::Run(form);
  EXPECT_EQ(host::FindWindowA("thunderrt6formdc", nullptr), form.Handle());
  EXPECT_EQ(sim::CaptionBytes(form.Handle()), "Marigold");
  host::SetWindowPos(form.Handle(), host::kHwndTopmost, 0, 0, 0, 0, 3);
  EXPECT_TRUE(sim::IsTopmost(form.Handle()));
  form.Hide();
  form.Show();
  EXPECT_EQ(sim::FormEvents(),
            (std::vector<std::string>{"Panel.load", "Panel.show", "Panel.hide", "Panel.show"}));
  form.SetState(host::WindowState::Minimized);
  EXPECT_EQ(form.State(), host::WindowState::Minimized);
  EXPECT_TRUE(form.Visible());
}

TEST_F(Desktop, AScreenThatClampsKeepsWindowsOnIt) {
  Panel form;
  form.Show();
  form.SetTop(-1890.5f);
  sim::SetClampToScreen(true);
  form.SetTop(-300);
  EXPECT_EQ(form.Top(), 0);
  form.SetTop(500);
  EXPECT_EQ(form.Top(), 500);
  EXPECT_EQ(sim::TopHistory(form), (std::vector<float>{-1890.5f, -300, 500}));
  sim::SetScreenPixels(800, 600);
  EXPECT_EQ(host::ScreenWidth(), 12000);
  EXPECT_EQ(host::ScreenHeight(), 9000);
}

TEST_F(Desktop, ClicksReachTheLabelAtTheCentreOfItsVisiblePart) {
  Panel form;
  form.Show();
  sim::Click(*form.Labels()[0]);
  sim::Click(*form.Labels()[1]);  // visible part 1000..1400 x 600..900: centre (1200, 750)
  sim::Click(form, 1500, 100);
  sim::Click(form, 1500, 100, 2);
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"A", "B", "down1@1500,100", "down2@1500,100"}));
  EXPECT_THROW(sim::Click(*form.Labels()[2]), std::logic_error);
  form.Hide();
  sim::SetDropHiddenInput(true);
  sim::Click(*form.Labels()[0]);
  EXPECT_EQ(form.clicks.size(), 4u);
  EXPECT_EQ(sim::HiddenInputs(), 2);  // press and release
}

// What the runtime tells the host: a control's change only while its form is loaded and only
// when something changed; a timer armed only while loaded, enabled and with an interval; and a
// tick the host had queued before the timer stopped is dropped.
TEST_F(Desktop, TheHostHearsOfChangesAndTimersOnlyWhenTheyMatter) {
  Panel form;
  host::Label& label = *form.Labels()[0];
  host::TextBox& box = form.AddTextBox("Text1", {0, 0, 600, 285}, 3);
  host::Timer& timer = form.AddTimer("Timer1", 1, true);
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  label.SetCaption(u"before loading");
  box.SetText(u"before loading");
  EXPECT_EQ(sim::Updates(label) + sim::Updates(box), 0);
  EXPECT_FALSE(sim::Armed(timer));
  form.Show();
  EXPECT_TRUE(sim::Armed(timer)) << "a 1 ms interval ticks";

  const struct {
    const char* what;
    void (*change)(host::Label&);
    int updates;
  } kLabelRows[] = {
      {"a new caption", [](host::Label& l) { l.SetCaption(u"new"); }, 1},
      {"the same caption", [](host::Label& l) { l.SetCaption(u"new"); }, 0},
      {"a new colour", [](host::Label& l) { l.SetForeColor(0x123456); }, 1},
      {"the same colour", [](host::Label& l) { l.SetForeColor(0x123456); }, 0},
      {"a font",
       [](host::Label& l) {
         l.SetFont({u"Arial", 6});
       },
       1},
      {"transparency", [](host::Label& l) { l.SetTransparent(false); }, 1},
      {"a tip", [](host::Label& l) { l.SetToolTip(u"tip"); }, 1},
  };
  for (const auto& row : kLabelRows) {
    SCOPED_TRACE(row.what);
    int before = sim::Updates(label);
    row.change(label);
    EXPECT_EQ(sim::Updates(label) - before, row.updates);
  }
  box.SetText(u"after");
  EXPECT_EQ(sim::Updates(box), 1);

  timer.SetEnabled(false);
  EXPECT_FALSE(sim::Armed(timer));
  host::HostAccess::TimerTicked(timer);  // queued before it stopped
  timer.SetEnabled(true);
  timer.SetInterval(0);
  EXPECT_FALSE(sim::Armed(timer));
  host::HostAccess::TimerTicked(timer);
  timer.SetInterval(50);
  EXPECT_TRUE(sim::Armed(timer));
  host::HostAccess::TimerTicked(timer);
  Panel unloaded;
  host::Timer& idle = unloaded.AddTimer("Timer1", 50, true);
  idle.Tick = [&] { ++ticks; };
  host::HostAccess::TimerTicked(idle);
  EXPECT_EQ(ticks, 1) << "only the tick of a running timer";
}

TEST_F(Desktop, MessageBoxesRecordTheVisibleFormsAndTakeTheScriptedAnswer) {
  Panel shown;
  shown.Show();
  Panel hidden;
  hidden.Show();
  hidden.Hide();
  EXPECT_EQ(host::MsgBox(u"first", 63, u"title"), 1);
  sim::OnMessageBox([](const sim::Box& box) {
    sim::RunFor(90);
    return box.style == 16 ? 2 : 7;
  });
  EXPECT_EQ(host::MsgBox(u"second", 16, u"t2"), 2);
  ASSERT_EQ(sim::Boxes().size(), 2u);
  EXPECT_EQ(sim::Boxes()[0].prompt, u"first");
  EXPECT_EQ(sim::Boxes()[0].style, 63);
  EXPECT_EQ(sim::Boxes()[0].visibleForms, std::vector<std::string>{"Panel"});
  EXPECT_EQ(sim::Boxes()[1].shownAt, 43200);
  EXPECT_EQ(sim::Now(), 43290);
}

}  // namespace
