// The cue rasteriser over GDI: outlined, anti-aliased text sized to the picture.

#include "standins/subtitles/GdiCueRasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "standins/subtitles/Overlay.h"
#include "standins/subtitles/SubRipReader.h"

namespace {

struct Survey {
  int partial = 0, white = 0, dark = 0, red = 0;
  explicit Survey(const Overlay& overlay) {
    for (int y = 0; y < overlay.Height(); ++y) {
      for (int x = 0; x < overlay.Width(); ++x) {
        const OverlayPixel& p = overlay.At(x, y);
        partial += p.a > 0 && p.a < 255;
        white += p.a == 255 && std::min({p.r, p.g, p.b}) >= 192;
        dark += p.a == 255 && std::max({p.r, p.g, p.b}) <= 64;
        red += p.a == 255 && p.r >= 192 && std::max(p.g, p.b) <= 64;
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

}  // namespace
