// The three windows as they were designed, control by control: where each lies (twips), what
// it says, its font, colour and tip, and each window's own properties. Every other test reads
// these through what the windows do; a slip here moves or restyles a spot without a trace.
#include <string>

#include "app_fixture.h"
#include "assets/resource.h"
#include "rows.h"

namespace {

struct LabelCase {
  const char* name;
  host::TwipsRect rect;
  host::Text caption;
  host::Text face;  // empty: the standard dialog font
  float points;
  host::Color color;
  bool transparent;
  host::Text tip;
};
constexpr host::Color kDefault = host::kSysButtonText;
const LabelCase kForm1Labels[] = {
    {"Label1", {960, 480, 735, 135}, u"Click Me", u"Times New Roman", 6, kDefault, true, u""},
    {"Label2", {120, 360, 255, 135}, u"", u"", 0, kDefault, true, u"Start Idling"},
    {"Label3", {120, 600, 255, 255}, u"", u"", 0, kDefault, true, u"Stop Idling"},
    {"Label4", {1560, 0, 255, 255}, u"", u"", 0, kDefault, true, u""},
    {"Label5", {1320, 0, 135, 255}, u"", u"", 0, kDefault, true, u""},
    {"Label6", {600, 600, 255, 135}, u"on", u"Arial", 6.75f, 0x404040, true, u""},
    {"Label7", {840, 600, 375, 135}, u"off", u"Arial", 6.75f, 0x000000, true, u""},
    {"Label8", {600, 360, 255, 135}, u"0", u"Arial", 6, kDefault, true, u""},
    {"Label9", {1200, 360, 255, 135}, u"0", u"Arial", 6, kDefault, true, u""},
    {"Label12", {0, 1440, 1095, 255}, u"Label12", u"", 0, kDefault, false, u""},
};
using TheMainWindowsLabels = Rows<AppTest, LabelCase>;

TEST_P(TheMainWindowsLabels, AreAsDesigned) {
  const LabelCase& c = GetParam();
  const auto& labels = app::TheForm1().Labels();
  auto found = std::find_if(labels.begin(), labels.end(),
                            [&](const auto& label) { return label->Name() == c.name; });
  ASSERT_NE(found, labels.end());
  const host::Label& label = **found;
  EXPECT_EQ(label.Rect().left, c.rect.left);
  EXPECT_EQ(label.Rect().top, c.rect.top);
  EXPECT_EQ(label.Rect().width, c.rect.width);
  EXPECT_EQ(label.Rect().height, c.rect.height);
  EXPECT_EQ(label.Caption(), c.caption);
  EXPECT_EQ(label.Font().face, c.face);
  EXPECT_EQ(label.Font().points, c.points);
  EXPECT_EQ(label.ForeColor(), c.color);
  EXPECT_EQ(label.Transparent(), c.transparent);
  EXPECT_EQ(label.ToolTip(), c.tip);
}
INSTANTIATE_TEST_SUITE_P(Design, TheMainWindowsLabels, ::testing::ValuesIn(kForm1Labels),
                         RowName());

TEST_F(AppTest, TheWindowsAndTheirOtherControlsAreAsDesigned) {
  app::Form1& main = app::TheForm1();
  EXPECT_EQ(main.Caption(), u"Marigold Idle -CorVID");
  EXPECT_EQ(main.BackColor(), host::kSysMenuText);
  EXPECT_EQ(main.Picture(), IDR_MAIN_PICTURE);
  EXPECT_EQ(main.Icon(), IDI_MARIGOLD);
  EXPECT_TRUE(main.ShowInTaskbar());
  EXPECT_EQ(main.Timer1.Interval(), 60000u);
  EXPECT_FALSE(main.Timer1.Enabled());

  app::Form2& reason = app::TheForm2();
  const host::TwipsRect area = reason.DesignArea();
  EXPECT_EQ((std::vector<float>{area.left, area.top, area.width, area.height}),
            (std::vector<float>{4185, 2115, 3015, 270}));
  const host::TwipsRect box = reason.Text1.Rect();
  EXPECT_EQ((std::vector<float>{box.left, box.top, box.width, box.height}),
            (std::vector<float>{0, 0, 2655, 285}));
  EXPECT_EQ(reason.Text1.Font().face, u"Arial");
  EXPECT_EQ(reason.Text1.Font().points, 6.75f);
  const host::TwipsRect ok = reason.Command1.Rect();
  EXPECT_EQ((std::vector<float>{ok.left, ok.top, ok.width, ok.height}),
            (std::vector<float>{2640, 0, 375, 255}));
  EXPECT_EQ(reason.Command1.Caption(), u"ok");
  EXPECT_EQ(reason.Text1.TabIndex(), 0);  // the box takes the keys first, then "ok"
  EXPECT_EQ(reason.Command1.TabIndex(), 1);

  app::Form3& splash = app::TheForm3();
  EXPECT_EQ(splash.Caption(), u"Form3");
  EXPECT_EQ(splash.BackColor(), host::kSysButtonFace);
  EXPECT_EQ(splash.Picture(), IDR_SPLASH_PICTURE);
  EXPECT_EQ(splash.Icon(), 0);
  EXPECT_TRUE(splash.ShowInTaskbar());
}

}  // namespace
