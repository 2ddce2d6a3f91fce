// Pictures at other screen resolutions: the scaled sizes still fit the forms laid out in
// twips, and the resampled pixels still lie under the same twips as at 96 dpi.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "assets/resource.h"
#include "host/platform.h"
#include "winsupport/picture.h"

namespace {

using host::TwipsRect;
using winsupport::LoadPictureResource;
using winsupport::Picture;
using winsupport::ScaledPictureSize;

constexpr std::array kDpis = {72, 96, 120, 144, 168, 192, 240};

// The window's side in pixels, rounded from twips as the runtime rounds it at that dpi.
int WindowPixels(float twips, int dpi) {
  return host::ToPixels(twips, host::kTwipsPerInch / static_cast<float>(dpi));
}

TEST(RuntimeDpi, At96DpiPicturesKeepTheirSize) {
  for (int pixels = 1; pixels <= 2000; ++pixels) ASSERT_EQ(ScaledPictureSize(pixels, 96), pixels);
}

TEST(RuntimeDpi, ScaledSizesRoundToTheNearestPixel) {
  struct Case {
    int pixels, dpi, expected;
  };
  for (Case c : {Case{331, 120, 414}, Case{230, 120, 288}, Case{331, 144, 497}, Case{230, 144, 345},
                 Case{119, 120, 149}, Case{61, 120, 76}, Case{119, 144, 179}, Case{61, 144, 92},
                 Case{331, 72, 248}, Case{119, 192, 238}, Case{1, 96, 1}, Case{1, 24, 1}}) {
    EXPECT_EQ(ScaledPictureSize(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
  }
}

TEST(RuntimeDpi, PicturesCoverTheirWindowsAtEveryResolution) {
  for (int dpi : kDpis) {
    SCOPED_TRACE(dpi);
    // The splash: 331 x 230 pixels in 4995 x 3450 twips. The picture ends two pixels short
    // on the right at 96 dpi; that band grows with the dpi and nothing else shows.
    int band = WindowPixels(4995, dpi) - ScaledPictureSize(331, dpi);
    double expectedBand = 2.0 * dpi / 96.0;
    EXPECT_LE(std::abs(band - expectedBand), 1.0) << "band " << band;
    EXPECT_GE(band, 1);
    EXPECT_EQ(ScaledPictureSize(230, dpi), WindowPixels(3450, dpi));
    // The main window: 119 x 61 pixels in 1770 x 900 twips, its last column and row unseen.
    EXPECT_GE(ScaledPictureSize(119, dpi), WindowPixels(1770, dpi));
    EXPECT_GE(ScaledPictureSize(61, dpi), WindowPixels(900, dpi));
    EXPECT_LE(ScaledPictureSize(119, dpi) - WindowPixels(1770, dpi), 2 * dpi / 96);
  }
}

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;  // 0x00RRGGBB
  int Channel(int x, int y, int shift) const {
    return static_cast<int>(data[static_cast<std::size_t>(y) * width + x] >> shift & 0xFF);
  }
};

Pixels Read(const Picture& picture) {
  DIBSECTION dib = {};
  Pixels pixels;
  if (::GetObjectW(picture.bitmap.get(), sizeof dib, &dib) != int(sizeof dib)) return pixels;
  pixels.width = picture.width;
  pixels.height = picture.height;
  const auto* first = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
  pixels.data.assign(first, first + picture.width * picture.height);
  return pixels;
}

TEST(RuntimeDpi, ResourcePicturesDecodeAtTheScaledSize) {
  for (int id : {IDR_MAIN_PICTURE, IDR_SPLASH_PICTURE}) {
    Picture native = LoadPictureResource(id);
    if (!native) GTEST_SKIP() << "this test program carries no picture resources";
    for (int dpi : kDpis) {
      Picture scaled = LoadPictureResource(id, dpi, dpi);
      ASSERT_TRUE(scaled) << id << " at " << dpi;
      EXPECT_EQ(scaled.width, ScaledPictureSize(native.width, dpi));
      EXPECT_EQ(scaled.height, ScaledPictureSize(native.height, dpi));
    }
    Picture wide = LoadPictureResource(id, 192, 96);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide.width, 2 * native.width);
    EXPECT_EQ(wide.height, native.height);
  }
}

// Where the 96-dpi picture is flat (a 5 x 5 patch of one colour), the scaled picture shows
// that colour at the same place in twips: not shifted, flipped, or cropped.
TEST(RuntimeDpi, ScaledPixelsLieUnderTheSameTwips) {
  for (int id : {IDR_MAIN_PICTURE, IDR_SPLASH_PICTURE}) {
    Pixels base = Read(LoadPictureResource(id));
    if (base.data.empty()) GTEST_SKIP() << "this test program carries no picture resources";
    for (int dpi : {120, 144, 192}) {
      SCOPED_TRACE(testing::Message() << "picture " << id << " at " << dpi << " dpi");
      Pixels scaled = Read(LoadPictureResource(id, dpi, dpi));
      ASSERT_EQ(scaled.width, ScaledPictureSize(base.width, dpi));
      ASSERT_EQ(scaled.height, ScaledPictureSize(base.height, dpi));
      int compared = 0;
      int wrong = 0;
      for (int y = 2; y + 2 < base.height; y += 3) {
        for (int x = 2; x + 2 < base.width; x += 3) {
          bool flat = true;
          for (int dy = -2; dy <= 2 && flat; ++dy) {
            for (int dx = -2; dx <= 2 && flat; ++dx) {
              for (int shift : {0, 8, 16}) {
                if (std::abs(base.Channel(x + dx, y + dy, shift) - base.Channel(x, y, shift)) > 6) {
                  flat = false;
                }
              }
            }
          }
          if (!flat) continue;
          // The centre of pixel x spans x + 0.5 picture pixels from the left edge.
          int sx = static_cast<int>((x + 0.5) * dpi / 96.0);
          int sy = static_cast<int>((y + 0.5) * dpi / 96.0);
          ++compared;
          for (int shift : {0, 8, 16}) {
            if (std::abs(scaled.Channel(sx, sy, shift) - base.Channel(x, y, shift)) > 20) {
              ++wrong;
              ADD_FAILURE() << "at " << x << "," << y << " -> " << sx << "," << sy << std::hex
                            << ": " << base.data[y * base.width + x] << " became "
                            << scaled.data[sy * scaled.width + sx];
              break;
            }
          }
          if (wrong > 5) return;
        }
      }
      EXPECT_GT(compared, 100);
    }
  }
}

// The hot spots are labels placed in twips; what lies under each label's rectangle in the
// scaled picture is what lies under it at 96 dpi: the orange start and stop buttons under
// Label2 and Label3, the minus and X glyphs under Label5 and Label4, the dark title strip.
TEST(RuntimeDpi, HotSpotsStayOverTheirGlyphs) {
  struct Spot {
    const char* name;
    TwipsRect rect;
  };
  const Spot spots[] = {
      {"Label2", {120, 360, 255, 135}}, {"Label3", {120, 600, 255, 255}},
      {"Label4", {1560, 0, 210, 255}},  {"Label5", {1320, 0, 135, 255}},
      {"title", {300, 60, 900, 195}},   {"reason legend", {540, 540, 375, 75}},
  };
  auto mean = [](const Pixels& pixels, const TwipsRect& rect, int dpi) {
    float tpp = host::kTwipsPerInch / static_cast<float>(dpi);
    int left = host::ToPixels(rect.left, tpp);
    int top = host::ToPixels(rect.top, tpp);
    int right = host::ToPixels(rect.left + rect.width, tpp);
    int bottom = host::ToPixels(rect.top + rect.height, tpp);
    std::array<double, 4> sum = {};  // red, green, blue, orange share
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        int r = pixels.Channel(x, y, 16), g = pixels.Channel(x, y, 8), b = pixels.Channel(x, y, 0);
        sum[0] += r, sum[1] += g, sum[2] += b;
        sum[3] += (r > 200 && g > 130 && g < 225 && b < 150) ? 100 : 0;
      }
    }
    double count = double(right - left) * double(bottom - top);
    for (double& s : sum) s /= count;
    return sum;
  };
  Pixels base = Read(LoadPictureResource(IDR_MAIN_PICTURE));
  if (base.data.empty()) GTEST_SKIP() << "this test program carries no picture resources";
  // The 96-dpi picture itself: each button is mostly orange, the title strip dark.
  EXPECT_GT(mean(base, spots[0].rect, 96)[3], 50.0);
  EXPECT_GT(mean(base, spots[1].rect, 96)[3], 30.0);
  EXPECT_LT(mean(base, spots[4].rect, 96)[0], 110.0);
  for (int dpi : {120, 144, 168, 192}) {
    Pixels scaled = Read(LoadPictureResource(IDR_MAIN_PICTURE, dpi, dpi));
    ASSERT_EQ(scaled.width, ScaledPictureSize(base.width, dpi));
    ASSERT_EQ(scaled.height, ScaledPictureSize(base.height, dpi));
    for (const Spot& spot : spots) {
      auto want = mean(base, spot.rect, 96);
      auto got = mean(scaled, spot.rect, dpi);
      for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i], want[i], i == 3 ? 12.0 : 14.0)
            << spot.name << " at " << dpi << " dpi, measure " << i;
      }
    }
  }
}

}  // namespace
