// The cue rasteriser over GDI: outlined, anti-aliased text sized to the picture.

#include "standins/subtitles/GdiCueRasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "standins/subtitles/Overlay.h"
#include "standins/subtitles/SubRipReader.h"

namespace {

struct Survey {
  int partial = 0, white = 0, dark = 0, red = 0, green = 0;
  explicit Survey(const Overlay& overlay) {
    for (int y = 0; y < overlay.Height(); ++y) {
      for (int x = 0; x < overlay.Width(); ++x) {
        const OverlayPixel& p = overlay.At(x, y);
        partial += p.a > 0 && p.a < 255;
        white += p.a == 255 && std::min({p.r, p.g, p.b}) >= 192;
        dark += p.a == 255 && std::max({p.r, p.g, p.b}) <= 64;
        red += p.a == 255 && p.r >= 192 && std::max(p.g, p.b) <= 64;
        green += p.a == 255 && p.g >= 192 && std::max(p.r, p.b) <= 64;
      }
    }
  }
};

TEST(GdiCueRasterizers, DrawOutlinedTextSizedToThePicture) {
  GdiCueRasterizer rasterizer;
  auto draw = [&rasterizer](const std::string& markup, int width, int height, double scale = 0) {
    return rasterizer.Rasterize(Cue{0, 1, ParseSubRipMarkup(markup), scale}, width, height);
  };
  const Overlay large = draw("Hello", 640, 480);
  const Survey survey(large);
  EXPECT_GT(survey.white, 20);
  EXPECT_GT(survey.dark, 20) << "a dark outline";
  EXPECT_GT(Survey(draw("<font color=red>Hello</font>", 640, 480)).red, 20);
  const Overlay one = draw("Hello", 320, 240);
  EXPECT_GT(Survey(one).partial, 0) << "small text is anti-aliased too";
  EXPECT_GT(large.Height(), one.Height() * 3 / 2);
  EXPECT_GT(draw("Hello\nthere", 320, 240).Height(), one.Height() * 3 / 2);
  EXPECT_GT(draw("Hello", 320, 240, 0.2).Height(), one.Height() * 2);
  const Overlay wrapped =
      draw("many words that cannot fit on one line of a small picture", 320, 240);
  EXPECT_LE(wrapped.Width(), 320 * 9 / 10);
  EXPECT_GT(wrapped.Height(), one.Height() * 3 / 2);
  const Overlay huge = draw(std::string(4000, 'W'), 64, 48);
  EXPECT_LE(huge.Width(), 64);
  EXPECT_LE(huge.Height(), 48);
}

// The first and last column with ink in rows [y0, y1).
std::pair<int, int> Ink(const Overlay& overlay, int y0, int y1) {
  std::pair<int, int> columns(overlay.Width(), -1);
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < overlay.Width(); ++x)
      if (overlay.At(x, y).a > 0)
        columns = {std::min(columns.first, x), std::max(columns.second, x)};
  return columns;
}

// What a styled cue's look and alignment change in its overlay.
TEST(GdiCueRasterizers, DrawTheLookAndAlignmentOfStyledCues) {
  GdiCueRasterizer rasterizer;
  auto draw = [&rasterizer](const std::string& markup, const CuePlacement& placement,
                            const CueLook& look) {
    Cue cue{0, 1, ParseSubRipMarkup(markup), 0, placement, look};
    return rasterizer.Rasterize(cue, 640, 480);
  };
  const CuePlacement centred;
  const Overlay plain = draw("Hello", centred, {});
  EXPECT_GT(plain.Inset(), 0);
  EXPECT_LT(2 * plain.Inset(), plain.Height());
  const Survey red(draw("Hello", centred, {"", false, -1, 0, 0xFF0000}));
  EXPECT_TRUE(red.red > 20 && red.dark == 0) << "a red outline";
  const Survey bare(draw("Hello", centred, {"", false, 0}));
  EXPECT_TRUE(bare.white > 20 && bare.dark == 0) << "no outline";
  const Overlay shadowed = draw("Hello", centred, {"", false, -1, 0.02, 0, 0x00FF00});
  EXPECT_GT(Survey(shadowed).green, 20);
  EXPECT_GE(shadowed.Width(), plain.Width() + 2 * 10);
  EXPECT_LT(draw("Hello", centred, {"", true}).Height(), plain.Height()) << "the cell's height";
  // The face named (the prefix has Debian's Liberation fonts): a monospaced
  // one draws i as wide as W, the default does not.
  const CueLook mono{"Liberation Mono"};
  EXPECT_EQ(draw("iiiiiiii", centred, mono).Width(), draw("WWWWWWWW", centred, mono).Width());
  EXPECT_LT(draw("iiiiiiii", centred, {}).Width(), draw("WWWWWWWW", centred, {}).Width());
  // Each line to the side its alignment names.
  for (int alignment : {7, 9}) {
    CuePlacement placement;
    placement.alignment = alignment;
    const Overlay two = draw("Hello there\nHi", placement, {});
    const auto top = Ink(two, 0, two.Height() / 2),
               bottom = Ink(two, two.Height() / 2, two.Height());
    const bool left = alignment == 7;
    EXPECT_NEAR(left ? bottom.first : bottom.second, left ? top.first : top.second, 3) << alignment;
  }
}

}  // namespace
