// The program without a mouse, window by window: what each key and each close request does,
// and that it does exactly what the click it stands for does (the same boxes, the same lines).
#include <ostream>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "host/accessibility.h"
#include "rows.h"

namespace {

enum class Start { Splash, Panel, Strip };

struct KeyCase {
  const char* name;
  Start start;
  // Keys ("Tab", "Shift+Tab", "Space", "Enter") go to the window the row starts on; "Close"
  // and "EndSession" are requests to it; "Minimise", "Hide" and "Type" set the scene.
  std::vector<std::string> steps;
  std::vector<std::string> visible;  // the forms visible afterwards
  std::vector<host::Text> boxes;     // the titles of the boxes shown, in order
  bool ended = false;
  int focused = -1;  // the panel's focused part afterwards (-1: not checked)
  int unanswered = 0;
  int redraws = -1;  // times the panel's focus was drawn again (-1: not counted)
};

void PrintTo(const KeyCase& c, std::ostream* out) {
  *out << c.name;
}

const host::Text kRefusal = u"MARIGOLD IDLE";
const host::Text kFarewell = u"marigold v1 idle";

const KeyCase kKeyRows[] = {
    {"splash_enter_opens_the_panel", Start::Splash, {"Enter"}, {"Form1"}, {}},
    {"splash_space_opens_the_panel", Start::Splash, {"Space"}, {"Form1"}, {}},
    {"splash_tab_stays", Start::Splash, {"Tab", "Shift+Tab"}, {"Form3"}, {}},
    {"splash_close_ends_at_once", Start::Splash, {"Close"}, {"Form3"}, {}, true},
    {"panel_tab_moves_in_reading_order",
     Start::Panel,
     {"Tab", "Tab", "Tab"},
     {"Form1"},
     {},
     false,
     3,
     0,
     3},
    // The first key shows the cue; a key that neither shows it nor moves it draws nothing.
    {"panel_space_after_a_tab_draws_nothing_more",
     Start::Panel,
     {"Tab", "Space"},
     {"Form1"},
     {},
     false,
     1,
     0,
     1},
    {"panel_tab_wraps_around",
     Start::Panel,
     {"Tab", "Tab", "Tab", "Tab", "Tab"},
     {"Form1"},
     {},
     false,
     0},
    {"panel_shift_tab_goes_back", Start::Panel, {"Shift+Tab"}, {"Form1"}, {}, false, 4},
    {"panel_space_on_start_without_reason",
     Start::Panel,
     {"Space"},
     {"Form1"},
     {kRefusal},
     false,
     0,
     0,
     1},
    {"panel_enter_on_the_reason", Start::Panel, {"Tab", "Tab", "Enter"}, {"Form2"}, {}},
    {"panel_minimised_takes_no_keys",
     Start::Panel,
     {"Minimise", "Shift+Tab", "Enter"},
     {"Form1"},
     {},
     false,
     0,
     2},
    {"panel_enter_on_exit", Start::Panel, {"Shift+Tab", "Enter"}, {"Form1"}, {kFarewell}, true},
    {"panel_close_runs_the_exit", Start::Panel, {"Close"}, {"Form1"}, {kFarewell}, true},
    {"panel_minimised_close_runs_the_exit",
     Start::Panel,
     {"Minimise", "Close"},
     {"Form1"},
     {kFarewell},
     true},
    {"panel_hidden_close_does_nothing", Start::Panel, {"Hide", "Close"}, {}, {}},
    {"panel_session_end_is_quiet", Start::Panel, {"EndSession"}, {"Form1"}, {}, true},
    {"strip_close_keeps_the_reason", Start::Strip, {"Type", "Close"}, {"Form1"}, {}},
    {"strip_keys_are_its_controls",
     Start::Strip,
     {"Tab", "Space", "Enter"},
     {"Form2"},
     {},
     false,
     -1,
     3},
};

class KeysAndCloseRequests : public Rows<AppTest, KeyCase> {};

TEST_P(KeysAndCloseRequests, EachRow) {
  const KeyCase& c = GetParam();
  StartClient();
  host::Form* form = &app::TheForm3();
  host::Run(app::TheForm3());
  if (c.start != Start::Splash) {
    sim::Click(app::TheForm3(), 1000, 1000);
    form = &app::TheForm1();
  }
  if (c.start == Start::Strip) {
    sim::Click(app::TheForm1().Label1);
    form = &app::TheForm2();
  }
  sim::SetDropHiddenInput(true);
  const auto before = sim::FormEvents().size();
  int unanswered = 0;
  bool ended = false;
  try {
    for (const std::string& step : c.steps) {
      if (step == "Close") {
        sim::RequestClose(*form);
      } else if (step == "EndSession") {
        sim::EndSession();
      } else if (step == "Minimise") {
        form->SetState(host::WindowState::Minimized);
      } else if (step == "Hide") {
        form->Hide();
      } else if (step == "Type") {
        sim::Type(app::TheForm2().Text1, u"Gone fishing");
      } else {
        unanswered += static_cast<int>(sim::PressKeys(*form, {step}).size());
      }
    }
  } catch (const sim::ProgramEnded&) {
    ended = true;
  }

  EXPECT_EQ(ended, c.ended);
  std::vector<std::string> visible;
  for (const host::Form* f :
       {static_cast<host::Form*>(&app::TheForm3()), static_cast<host::Form*>(&app::TheForm1()),
        static_cast<host::Form*>(&app::TheForm2())}) {
    if (f->Visible()) visible.push_back(f->Name());
  }
  EXPECT_EQ(visible, c.visible);
  std::vector<host::Text> titles;
  for (const sim::Box& box : sim::Boxes()) titles.push_back(box.title);
  EXPECT_EQ(titles, c.boxes);
  EXPECT_EQ(unanswered, c.unanswered);
  // Nothing but what a click would post: the two load banners once the panel has loaded.
  EXPECT_EQ(Posted().size(), app::TheForm1().Loaded() ? 2u : 0u);
  // The farewell slides the panel off the top, restored from the taskbar first.
  if (!c.boxes.empty() && c.boxes.back() == kFarewell) {
    EXPECT_FALSE(sim::TopHistory(app::TheForm1()).empty());
    EXPECT_EQ(app::TheForm1().State(), host::WindowState::Normal);
  }
  // Closing the strip brings the panel back with the reason as it was.
  EXPECT_EQ(app::TheForm1().Label1.Caption(), u"Click Me");
  const host::AccessDescription& panel = app::TheForm1().Accessibility();
  if (c.focused >= 0) {
    EXPECT_EQ(panel.Focused(), c.focused);
  }
  // The strip's keys go to its own box and button: it has no part to focus.
  EXPECT_EQ(app::TheForm2().Accessibility().Focused(), -1);
  // The focus is drawn from the first key the panel answers, and drawn again on each move.
  int redraws = 0;
  for (auto e = sim::FormEvents().begin() + static_cast<long>(before); e != sim::FormEvents().end();
       ++e) {
    redraws += e->rfind("Form1.focus", 0) == 0;
  }
  EXPECT_EQ(panel.FocusShown(), redraws > 0);
  if (c.redraws >= 0) {
    EXPECT_EQ(redraws, c.redraws);
  }
}
INSTANTIATE_TEST_SUITE_P(Keyboard, KeysAndCloseRequests, ::testing::ValuesIn(kKeyRows), RowName());

}  // namespace
