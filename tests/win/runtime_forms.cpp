// Forms as real windows: where they land in pixels, the screen's size, and what the window
// paints.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/resource.h"
#include "tests/win/runtime_support.h"
#include "winsupport/picture.h"

namespace {

using runtime_test::AsPixel;
using runtime_test::CaptureClient;
using runtime_test::RecordingForm;

// Loading, positions read back and minimising are the contract's (tests/contract); this is
// where the window lands in pixels.
TEST(RuntimeForms, TheWindowIsAllClientAreaAtThePixelsOfItsTwips) {
  ASSERT_EQ(host::TwipsPerPixelX(), 15.0f) << "the test screen runs at 96 dpi";
  RecordingForm form;  // 1500, 1500, 1770 x 900 twips
  form.Show();
  RECT outer, client;
  ::GetWindowRect(form.Window(), &outer);
  ::GetClientRect(form.Window(), &client);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 100);
  EXPECT_EQ(outer.right - outer.left, 118);
  EXPECT_EQ(outer.bottom - outer.top, 60);
  EXPECT_EQ(client.right, 118);
  EXPECT_EQ(client.bottom, 60);
  wchar_t caption[32] = {};
  ::GetWindowTextW(form.Window(), caption, 32);
  EXPECT_STREQ(caption, L"Recording");

  const struct {
    float top, left;
    int topPx, leftPx;
  } cases[] = {
      {-1890, 4995, -126, 333}, {2100, 3502.5f, 140, 234}, {-1770, -300, -118, -20},
      {-5000, 100, -333, 7},    {4110.5f, 14.9f, 274, 1},
  };
  for (const auto& c : cases) {
    form.SetTop(c.top);
    form.SetLeft(c.left);
    RECT rect;
    ::GetWindowRect(form.Window(), &rect);
    EXPECT_EQ(rect.top, c.topPx) << c.top;
    EXPECT_EQ(rect.left, c.leftPx) << c.left;
    EXPECT_EQ(rect.right - rect.left, 118);
  }
  // Moved by someone else (a drag): the window's own place, in twips.
  ::SetWindowPos(form.Window(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(form.Left(), 150.0f);
  EXPECT_EQ(form.Top(), 300.0f);

  // Minimised and restored, it comes back to its place.
  form.SetTop(-1470);
  form.SetState(host::WindowState::Minimized);
  form.SetState(host::WindowState::Normal);
  ::GetWindowRect(form.Window(), &outer);
  EXPECT_EQ(outer.top, -98);
  EXPECT_EQ(outer.left, 10);
}

TEST(RuntimeForms, ScreenSizeIsInTwips) {
  EXPECT_EQ(host::ScreenWidth(), ::GetSystemMetrics(SM_CXSCREEN) * host::TwipsPerPixelX());
  EXPECT_EQ(host::ScreenHeight(), ::GetSystemMetrics(SM_CYSCREEN) * host::TwipsPerPixelY());
  EXPECT_GT(host::ScreenWidth(), 0.0f);
}

TEST(RuntimeForms, PaintsBackColourAndLabelsClippedToTheirRectangles) {
  RecordingForm form({1500, 1500, 1500, 900});  // 100 x 60 pixels
  form.SetBackColor(host::kSysButtonFace);
  form.SetPicture(9999);  // no such resource: the back colour shows
  host::Label& text = form.AddLabel("Label1", {150, 150, 600, 300}, 0);  // 10,10 - 50,30
  text.SetCaption(u"MMMM MMMM MMMM MMMM MMMM");
  text.SetForeColor(0x0000FF);  // red
  text.SetFont({u"Arial", 12});
  host::Label& opaque = form.AddLabel("Label2", {900, 600, 300, 150}, 1);  // 60,40 - 80,50
  opaque.SetTransparent(false);
  form.Show();

  runtime_test::Capture capture = CaptureClient(form.Window());
  ASSERT_EQ(capture.width, 100);
  ASSERT_EQ(capture.height, 60);
  std::uint32_t face = AsPixel(::GetSysColor(COLOR_BTNFACE));
  int redInside = 0;
  int strayOutside = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) {
      bool inside = x >= 10 && x < 50 && y >= 10 && y < 30;
      std::uint32_t pixel = capture.At(x, y);
      if (inside && pixel == 0xFF0000) ++redInside;
      if (!inside && pixel != face) ++strayOutside;
    }
  }
  EXPECT_GT(redInside, 20) << "the caption is drawn in its colour";
  EXPECT_EQ(strayOutside, 0) << "nothing is drawn outside the caption's label";

  // A changed caption is drawn: the label goes blank.
  text.SetCaption(u"");
  capture = CaptureClient(form.Window());
  EXPECT_EQ(capture.At(12, 14), face);
}

TEST(RuntimeForms, DecodesJpegPicturesTopDown) {
  // 16 x 16 pixels: the upper half red (220, 30, 30), the lower half blue (30, 30, 220).
  static const unsigned char kJpeg[] = {
      0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00,
      0x01, 0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01,
      0x01, 0x02, 0x01, 0x01, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02,
      0x02, 0x05, 0x04, 0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06,
      0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0b, 0x08, 0x09, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x06, 0x08, 0x0b, 0x0c, 0x0b, 0x0a, 0x0c, 0x09, 0x0a, 0x0a, 0x0a, 0xff,
      0xdb, 0x00, 0x43, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0a,
      0x07, 0x06, 0x07, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
      0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x10,
      0x00, 0x10, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xff, 0xc4, 0x00,
      0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x08, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00,
      0x16, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x09, 0x08, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xda,
      0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3f, 0x00, 0x96, 0xd9, 0xfd,
      0x5f, 0x00, 0x4e, 0x6b, 0xf8, 0x88, 0xe0, 0x3f, 0xff, 0xd9};
  winsupport::Picture picture = winsupport::DecodePicture(kJpeg, sizeof kJpeg);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture.width, 16);
  EXPECT_EQ(picture.height, 16);
  DIBSECTION dib = {};
  ASSERT_EQ(::GetObjectW(picture.bitmap.get(), sizeof dib, &dib), int(sizeof dib));
  auto pixel = [&](int x, int y) {
    return static_cast<const std::uint32_t*>(dib.dsBm.bmBits)[y * 16 + x] & 0xFFFFFF;
  };
  auto close = [](std::uint32_t pixel, int r, int g, int b) {
    return std::abs(int(pixel >> 16 & 0xFF) - r) < 16 &&
           std::abs(int(pixel >> 8 & 0xFF) - g) < 16 && std::abs(int(pixel & 0xFF) - b) < 16;
  };
  EXPECT_TRUE(close(pixel(3, 2), 220, 30, 30)) << std::hex << pixel(3, 2);
  EXPECT_TRUE(close(pixel(12, 13), 30, 30, 220)) << std::hex << pixel(12, 13);

  const unsigned char junk[] = {0xFF, 0xD8, 0x00, 0x01, 0x02};
  EXPECT_FALSE(winsupport::DecodePicture(junk, sizeof junk));
  EXPECT_FALSE(winsupport::LoadPictureResource(9999));
}

TEST(RuntimeForms, PaintsItsPictureResourceUnscaled) {
  winsupport::Picture picture = winsupport::LoadPictureResource(IDR_MAIN_PICTURE);
  if (!picture) GTEST_SKIP() << "this test program carries no picture resources";
  RecordingForm form({1500, 1500, 1770, 900});
  form.SetPicture(IDR_MAIN_PICTURE);
  form.Show();
  runtime_test::Capture capture = CaptureClient(form.Window());
  DIBSECTION dib = {};
  ASSERT_NE(::GetObjectW(picture.bitmap.get(), sizeof dib, &dib), 0);
  const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
  for (POINT p : {POINT{0, 0}, POINT{50, 30}, POINT{117, 59}}) {
    EXPECT_EQ(capture.At(p.x, p.y), bits[p.y * picture.width + p.x] & 0xFFFFFF)
        << p.x << "," << p.y;
  }
}

}  // namespace
