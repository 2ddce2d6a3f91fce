// Forms as real windows: where they land in pixels, the screen's size, and what the window
// paints.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "assets/resource.h"
#include "host/platform.h"
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
  form.SetIcon(IDI_MARIGOLD);
  form.Show();
  // Its icons at the sizes the task bar and the window switcher show.
  for (auto [which, side] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
    ICONINFO icon = {};
    ASSERT_TRUE(::GetIconInfo(
        reinterpret_cast<HICON>(::SendMessageW(form.Window(), WM_GETICON, which, 0)), &icon));
    winsupport::UniqueBitmap mask(icon.hbmMask), color(icon.hbmColor);
    BITMAP bitmap = {};
    ::GetObjectW(mask.get(), sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, side);
  }
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

  // Minimised and restored, it comes back to its place; moved while minimised, to the new one.
  form.SetTop(-1470);
  form.SetState(host::WindowState::Minimized);
  form.SetState(host::WindowState::Normal);
  ::GetWindowRect(form.Window(), &outer);
  EXPECT_EQ(outer.top, -98);
  EXPECT_EQ(outer.left, 10);
  form.SetState(host::WindowState::Minimized);
  form.SetTop(450);
  form.SetState(host::WindowState::Normal);
  ::GetWindowRect(form.Window(), &outer);
  EXPECT_EQ(outer.top, 30);

  // Following the pointer, the window keeps it at the spot it was taken by.
  ::SetCursorPos(15, 35);
  ASSERT_TRUE(host::GrabPointer(form));
  ::SetCursorPos(200, 150);
  host::MoveToPointer(form);
  ::ReleaseCapture();
  ::GetWindowRect(form.Window(), &outer);
  EXPECT_EQ(outer.left, 195);
  EXPECT_EQ(outer.top, 145);
}

TEST(RuntimeForms, ScreenSizeIsInTwips) {
  EXPECT_EQ(host::ScreenWidth(), ::GetSystemMetrics(SM_CXSCREEN) * host::TwipsPerPixelX());
  EXPECT_EQ(host::ScreenHeight(), ::GetSystemMetrics(SM_CYSCREEN) * host::TwipsPerPixelY());
  EXPECT_GT(host::ScreenWidth(), 0.0f);
}

// The caption label at 10,10 - 50,30 on a 100 x 60 form, drawn over the back colour by the
// test itself: red, in an Arial of that height and weight, as a label draws its caption.
runtime_test::Capture CaptionAlone(const wchar_t* text, int height, int weight) {
  return runtime_test::CaptureDrawn(100, 60, [&](HDC dc) {
    winsupport::UniqueFont font(
        ::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, L"Arial"));
    winsupport::Selection fontIn(dc, font.get());
    RECT all = {0, 0, 100, 60}, label = {10, 10, 50, 30};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 0, 0));
    ::DrawTextW(dc, text, -1, &label, DT_WORDBREAK | DT_NOPREFIX | DT_LEFT | DT_TOP);
  });
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

  // Pixel for pixel the caption a 12-point Arial of that weight draws at 96 dpi: the font
  // follows the label's, here a change of its weight alone.
  for (int weight : {FW_NORMAL, FW_BOLD}) {
    text.SetFont({u"Arial", 12, weight});
    capture = CaptureClient(form.Window());
    runtime_test::Capture expected = CaptionAlone(L"MMMM MMMM MMMM MMMM MMMM", -16, weight);
    int differ = 0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 100; ++x) differ += capture.At(x, y) != expected.At(x, y);
    }
    EXPECT_EQ(differ, 0) << weight;
  }

  // A form one pixel wide is painted too.
  RecordingForm thin({1500, 1500, 15, 900});
  thin.SetBackColor(0x00FF00);
  thin.Show();
  EXPECT_EQ(CaptureClient(thin.Window()).At(0, 0), 0x00FF00u);

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
  form.SetBackColor(0x00FF00);
  form.AddLabel("Label1", {600, 300, 600, 300}, 0);                      // transparent, over 50,30
  form.AddLabel("Label2", {0, 600, 300, 300}, 1).SetTransparent(false);  // 0,40 - 20,60
  form.Show();
  EXPECT_EQ(::GetPixel(winsupport::WindowDc(form.Window()).get(), 10, 50), RGB(0, 255, 0))
      << "painted before any event is served";
  runtime_test::Capture capture = CaptureClient(form.Window());
  EXPECT_EQ(capture.At(10, 50), 0x00FF00u) << "an opaque label hides the picture";
  DIBSECTION dib = {};
  ASSERT_NE(::GetObjectW(picture.bitmap.get(), sizeof dib, &dib), 0);
  const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
  for (POINT p : {POINT{0, 0}, POINT{50, 30}, POINT{117, 59}}) {
    EXPECT_EQ(capture.At(p.x, p.y), bits[p.y * picture.width + p.x] & 0xFFFFFF)
        << p.x << "," << p.y;
  }
}

}  // namespace
