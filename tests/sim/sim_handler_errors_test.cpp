// The one error policy for handlers, whatever event ran them: the handler ends, the user is
// told in one box, and the program goes on with the next event; the end of the program
// still goes through.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/runtime.h"
#include "host/sim/sim.h"

namespace {

// Every handler runs `fail` first; a test arms it for one kind of event.
class Failing : public host::Form {
 public:
  Failing() : host::Form("Failing") {
    SetClientArea({0, 0, 3000, 1500});
    AddLabel("Label1", {0, 0, 600, 300}, 0).Click = [this] { Run("label"); };
    AddButton("Command1", {1000, 1000, 600, 300}, 1).Click = [this] { Run("button"); };
    AddTimer("Timer1", 1000, true).Tick = [this] { Run("tick"); };
  }
  void Form_Load() override { Run("load"); }
  void Form_MouseDown(int, int, float, float) override { Run("down"); }
  void Form_Click() override { Run("click"); }

  std::string failOn;
  int failures = 0;
  std::vector<std::string> done;

 private:
  void Run(const std::string& event) {
    if (event == failOn && failures-- > 0) throw std::runtime_error("no room for " + event);
    done.push_back(event);
  }
};

struct Row {
  const char* event;
  std::function<void(Failing&)> fire;  // the user's or the clock's event that runs it
};
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.event;
}

class HandlerErrors : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    sim::Reset();
    host::SetProgramTitle(u"Failing");
  }
  void TearDown() override {
    EXPECT_TRUE(sim::Faults().empty());
    sim::Reset();
  }
};

TEST_P(HandlerErrors, EndTheHandlerShowOneBoxAndTheProgramGoesOn) {
  const Row& row = GetParam();
  Failing form;
  form.failOn = row.event;
  form.failures = 1000;  // fails every time while the box is up
  // Timers keep firing inside the box; a second failure there opens no second box.
  sim::OnMessageBox([&](const sim::Box&) {
    row.fire(form);
    form.failures = 0;
    return 1;
  });
  form.Show();
  if (std::string(row.event) != "load") row.fire(form);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_NE(sim::Boxes()[0].prompt.find(u"no room for " + host::FromUtf8(row.event)),
            host::Text::npos);
  EXPECT_EQ(sim::Boxes()[0].title, u"Failing");
  EXPECT_EQ(sim::Boxes()[0].style, 48);  // OK, with the exclamation mark
  EXPECT_TRUE(form.Visible());
  auto ran = [&](const std::string& event) {
    return std::find(form.done.begin(), form.done.end(), event) != form.done.end();
  };
  sim::RunFor(1);
  EXPECT_TRUE(ran("tick"));
  if (std::string(row.event) != "load") {  // a form loads once
    row.fire(form);
    EXPECT_TRUE(ran(row.event));
  }
  EXPECT_EQ(sim::Boxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Events, HandlerErrors,
    ::testing::Values(Row{"load", [](Failing& f) { f.Show(); }},
                      Row{"label", [](Failing& f) { sim::Click(*f.Labels()[0]); }},
                      Row{"button", [](Failing& f) { sim::Click(*f.Buttons()[0]); }},
                      Row{"tick", [](Failing&) { sim::RunFor(1); }},
                      Row{"down", [](Failing& f) { sim::Press(f, 2000, 200); }},
                      Row{"click", [](Failing& f) { sim::Click(f, 2000, 200); }}),
    [](const auto& info) { return std::string(info.param.event); });

}  // namespace
