// Laying out, rasterising and blending cues into frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "standins/subtitles/CueLayout.h"
#include "standins/subtitles/CueRasterizer.h"
#include "standins/subtitles/FrameBlender.h"
#include "standins/subtitles/FrameLayout.h"
#include "standins/subtitles/GdiCueRasterizer.h"
#include "standins/subtitles/Overlay.h"
#include "standins/subtitles/SubRipReader.h"
#include "standins/subtitles/SubtitlePainter.h"
#include "standins/subtitles/TextMeasurer.h"

namespace {

// 10 pixels a character, 12 in bold.
class FixedMeasurer : public TextMeasurer {
 public:
  int Width(std::string_view text, const TextStyle& style) const override {
    const auto characters =
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
    return static_cast<int>(characters) * (style.bold ? 12 : 10);
  }
};

std::string Lines(const std::vector<PlacedLine>& lines) {
  std::string out;
  for (const PlacedLine& line : lines) {
    if (&line != &lines.front()) out += "|";
    for (const PlacedRun& run : line.runs) out += run.text;
  }
  return out;
}

TEST(CueLayouts, WrapToTheWidth) {
  const struct {
    const char* text;
    int width;
    const char* expected;
  } kCases[] = {
      {"Hello world", 200, "Hello world"},
      {"Hello world", 100, "Hello|world"},
      {"Hello world", 50, "Hello|world"},
      {"a  b", 30, "a|b"},
      {"  lead", 100, "lead"},
      {"Supercalifragilistic", 50, "Super|calif|ragil|istic"},
      {"h\xC3\xA9llo w\xC3\xB6rld", 60, "h\xC3\xA9llo|w\xC3\xB6rld"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 20,
       "\xC3\xA9\xC3\xA9|\xC3\xA9\xC3\xA9|\xC3\xA9"},
      {"one two three four", 90, "one two|three|four"},
  };
  for (const auto& c : kCases) {
    const std::vector<TextLine> lines = {{{c.text, {}}}};
    EXPECT_EQ(Lines(LayOutCue(lines, c.width, FixedMeasurer())), c.expected) << c.text;
  }
}

TEST(CueLayouts, PlaceStyledRunsAndKeepBlankLines) {
  TextStyle bold;
  bold.bold = true;
  const std::vector<TextLine> lines = {{{"ab ", {}}, {"cd", bold}}, {}, {{"e", {}}}};
  const std::vector<PlacedLine> placed = LayOutCue(lines, 1000, FixedMeasurer());
  ASSERT_EQ(placed.size(), 3u);
  ASSERT_EQ(placed[0].runs.size(), 2u);
  EXPECT_EQ(placed[0].runs[1].text, "cd");
  EXPECT_EQ(placed[0].runs[1].x, 30);
  EXPECT_EQ(placed[0].width, 54);
  EXPECT_TRUE(placed[1].runs.empty());
  EXPECT_EQ(placed[2].width, 10);
}

TEST(FrameLayouts, FollowTheBitmapFormat) {
  const struct {
    PixelFormat format;
    int strideWidth, height, visible;
    bool valid;
    int stride;
    bool bottomUp;
    size_t bytes;
  } kCases[] = {
      {PixelFormat::kRgb24, 15, 10, 0, true, 48, true, 480},
      {PixelFormat::kRgb24, 16, -10, 0, true, 48, false, 480},
      {PixelFormat::kRgb32, 16, 10, 12, true, 64, true, 640},
      {PixelFormat::kYv12, 16, 12, 0, true, 16, false, 288},
      {PixelFormat::kI420, 16, -12, 0, true, 16, false, 288},
      {PixelFormat::kYuy2, 16, 5, 0, true, 32, false, 160},
      {PixelFormat::kYv12, 15, 12, 0, false},
      {PixelFormat::kYv12, 16, 11, 0, false},
      {PixelFormat::kYuy2, 16, 5, 15, false},
      {PixelFormat::kRgb32, 16, 10, 17, false},
      {PixelFormat::kRgb32, 0, 10, 0, false},
      {PixelFormat::kRgb32, 100000, 10, 0, false},
  };
  for (const auto& c : kCases) {
    const auto layout = MakeFrameLayout(c.format, c.strideWidth, c.height, c.visible);
    ASSERT_EQ(layout.has_value(), c.valid) << c.strideWidth << "x" << c.height;
    if (!layout) continue;
    EXPECT_EQ(layout->stride, c.stride);
    EXPECT_EQ(layout->bottomUp, c.bottomUp);
    EXPECT_EQ(layout->RequiredBytes(), c.bytes);
  }
}

// Offset of picture pixel (x, y)'s first byte (B for RGB, Y otherwise).
size_t OffsetOf(const FrameLayout& layout, int x, int y) {
  switch (layout.format) {
    case PixelFormat::kRgb24:
    case PixelFormat::kRgb32: {
      const int row = layout.bottomUp ? layout.height - 1 - y : y;
      return static_cast<size_t>(row) * layout.stride +
             x * (layout.format == PixelFormat::kRgb24 ? 3 : 4);
    }
    case PixelFormat::kYuy2:
      return static_cast<size_t>(y) * layout.stride + x * 2;
    default:
      return static_cast<size_t>(y) * layout.stride + x;
  }
}

constexpr size_t kGuard = 256;

std::vector<uint8_t> Noise(size_t size) {
  std::vector<uint8_t> bytes(size + kGuard);
  uint32_t state = 7;
  for (uint8_t& b : bytes) {
    state = state * 1664525 + 1013904223;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

// A 6 x 4 overlay: white at (0, 0), black at (5, 3), half-covered red at (2, 2).
Overlay TestOverlay() {
  Overlay overlay(6, 4);
  overlay.Set(0, 0, 0xFFFFFF, 255);
  overlay.Set(5, 3, 0x000000, 255);
  overlay.Set(2, 2, 0xFF0000, 128);
  return overlay;
}

struct BlendCase {
  const char* name;
  PixelFormat format;
  int height;  // negative: top-down RGB
};

class Blending : public testing::TestWithParam<BlendCase> {};

TEST_P(Blending, ChangesOnlyPixelsUnderTheOverlay) {
  const FrameLayout layout = *MakeFrameLayout(GetParam().format, 16, GetParam().height, 0);
  const std::vector<uint8_t> before = Noise(layout.RequiredBytes());
  const struct { int left, top; } kPlaces[] = {{5, 6}, {-3, 10}, {14, -2}, {0, 0}};
  for (const auto& place : kPlaces) {
    std::vector<uint8_t> frame = before;
    BlendOverlay(TestOverlay(), place.left, place.top, layout, frame.data());
    for (size_t i = 0; i < frame.size(); ++i) {
      if (frame[i] == before[i]) continue;
      ASSERT_LT(i, layout.RequiredBytes()) << "wrote past the frame";
      const PixelRect p = PixelsOfByte(layout, i);
      EXPECT_TRUE(p.x1 > place.left && p.x0 < place.left + 6 && p.y1 > place.top &&
                  p.y0 < place.top + 4)
          << "byte " << i << " at " << place.left << "," << place.top;
    }
  }
}

TEST_P(Blending, DrawsOpaquePixelsInTheirColour) {
  const FrameLayout layout = *MakeFrameLayout(GetParam().format, 16, GetParam().height, 0);
  std::vector<uint8_t> frame = Noise(layout.RequiredBytes());
  BlendOverlay(TestOverlay(), 5, 6, layout, frame.data());
  const bool rgb = layout.format == PixelFormat::kRgb24 || layout.format == PixelFormat::kRgb32;
  const uint8_t* white = &frame[OffsetOf(layout, 5, 6)];
  const uint8_t* black = &frame[OffsetOf(layout, 10, 9)];
  if (rgb) {
    EXPECT_EQ(std::vector<uint8_t>(white, white + 3), std::vector<uint8_t>(3, 255));
    EXPECT_EQ(std::vector<uint8_t>(black, black + 3), std::vector<uint8_t>(3, 0));
  } else {
    EXPECT_EQ(*white, 235);
    EXPECT_EQ(*black, 16);
  }
}

TEST_P(Blending, LeavesTheFrameExactWhereNothingIsCovered) {
  const FrameLayout layout = *MakeFrameLayout(GetParam().format, 16, GetParam().height, 0);
  const std::vector<uint8_t> before = Noise(layout.RequiredBytes());
  std::vector<uint8_t> frame = before;
  BlendOverlay(Overlay(16, 12), 0, 0, layout, frame.data());
  EXPECT_EQ(frame, before);
}

INSTANTIATE_TEST_SUITE_P(Formats, Blending,
                         testing::Values(BlendCase{"Yv12", PixelFormat::kYv12, 12},
                                         BlendCase{"I420", PixelFormat::kI420, 12},
                                         BlendCase{"Yuy2", PixelFormat::kYuy2, 12},
                                         BlendCase{"Rgb24BottomUp", PixelFormat::kRgb24, 12},
                                         BlendCase{"Rgb24TopDown", PixelFormat::kRgb24, -12},
                                         BlendCase{"Rgb32BottomUp", PixelFormat::kRgb32, 12},
                                         BlendCase{"Rgb32TopDown", PixelFormat::kRgb32, -12}),
                         [](const auto& info) { return info.param.name; });

// Opaque white blocks, 20 pixels wide and 10 a line; counts its calls.
class BlockRasterizer : public CueRasterizer {
 public:
  explicit BlockRasterizer(std::vector<int64_t>& calls) : m_calls(calls) {}
  Overlay Rasterize(const Cue& cue, int, int) override {
    m_calls.push_back(cue.start);
    Overlay overlay(20, 10 * static_cast<int>(cue.lines.size()));
    for (int y = 0; y < overlay.Height(); ++y)
      for (int x = 0; x < overlay.Width(); ++x) overlay.Set(x, y, 0xFFFFFF, 255);
    return overlay;
  }

 private:
  std::vector<int64_t>& m_calls;
};

std::set<int> RowsChanged(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                          int stride) {
  std::set<int> rows;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) rows.insert(static_cast<int>(i / stride));
  return rows;
}

std::set<int> Range(int first, int end) {
  std::set<int> rows;
  for (int row = first; row < end; ++row) rows.insert(row);
  return rows;
}

TEST(SubtitlePainters, DrawTheCuesOfEachFrameOnceRasterised) {
  std::vector<int64_t> calls;
  std::vector<Cue> cues = {
      {0, 100, {{{"a", {}}}}}, {50, 150, {{{"b", {}}}, {{"b", {}}}}}, {300, 400, {{{"c", {}}}}}};
  SubtitlePainter painter(CueList(cues), std::make_unique<BlockRasterizer>(calls));
  const FrameLayout layout = *MakeFrameLayout(PixelFormat::kRgb32, 64, -64, 0);
  const std::vector<uint8_t> before = Noise(layout.RequiredBytes());
  // Picture rows 62 and below are the 4 % margin.
  const struct {
    int64_t time;
    std::set<int> rows;
  } kFrames[] = {{-1, {}},
                 {0, Range(52, 62)},
                 {49, Range(52, 62)},
                 {50, Range(32, 62)},  // the later cue stacked above
                 {99, Range(32, 62)},
                 {100, Range(42, 62)},
                 {200, {}},
                 {300, Range(52, 62)},
                 {400, {}}};
  for (const auto& f : kFrames) {
    std::vector<uint8_t> frame = before;
    EXPECT_EQ(painter.Paint(f.time, layout, frame.data()), !f.rows.empty()) << f.time;
    EXPECT_EQ(RowsChanged(before, frame, layout.stride), f.rows) << f.time;
  }
  EXPECT_EQ(calls, (std::vector<int64_t>{0, 50, 300}));
  std::vector<uint8_t> frame = before;
  painter.Paint(0, *MakeFrameLayout(PixelFormat::kRgb32, 32, -32, 0), frame.data());
  EXPECT_EQ(calls.size(), 4u) << "a new picture size is drawn anew";
}

struct Coverage {
  int opaque = 0, partial = 0, white = 0, dark = 0, red = 0;
};

Coverage Survey(const Overlay& overlay) {
  Coverage c;
  for (int y = 0; y < overlay.Height(); ++y) {
    for (int x = 0; x < overlay.Width(); ++x) {
      const OverlayPixel& p = overlay.At(x, y);
      c.opaque += p.a == 255;
      c.partial += p.a > 0 && p.a < 255;
      c.white += p.a == 255 && std::min({p.r, p.g, p.b}) >= 192;
      c.dark += p.a == 255 && std::max({p.r, p.g, p.b}) <= 64;
      c.red += p.a == 255 && p.r >= 192 && std::max(p.g, p.b) <= 64;
    }
  }
  return c;
}

Cue TextCue(const char* markup, double heightScale = 0) {
  return Cue{0, 1, ParseSubRipMarkup(markup), heightScale};
}

TEST(GdiCueRasterizers, DrawWhiteTextWithADarkOutline) {
  GdiCueRasterizer rasterizer;
  const Overlay overlay = rasterizer.Rasterize(TextCue("Hello"), 640, 480);
  ASSERT_FALSE(overlay.Empty());
  EXPECT_LT(overlay.Width(), 320);
  const Coverage c = Survey(overlay);
  EXPECT_GT(c.white, 20);
  EXPECT_GT(c.dark, 20);
  EXPECT_GT(c.partial, 0) << "anti-aliased edges";
  EXPECT_GT(Survey(rasterizer.Rasterize(TextCue("<font color=red>Hello</font>"), 640, 480)).red,
            20);
  const Coverage small = Survey(rasterizer.Rasterize(TextCue("Hello"), 320, 240));
  EXPECT_GT(small.partial, 0) << "small text is anti-aliased too";
}

TEST(GdiCueRasterizers, SizeTextToThePictureAndWrapIt) {
  GdiCueRasterizer rasterizer;
  const Overlay one = rasterizer.Rasterize(TextCue("Hello"), 320, 240);
  const Overlay two = rasterizer.Rasterize(TextCue("Hello\nthere"), 320, 240);
  const Overlay tall = rasterizer.Rasterize(TextCue("Hello", 0.2), 320, 240);
  const Overlay large = rasterizer.Rasterize(TextCue("Hello"), 640, 480);
  EXPECT_GT(two.Height(), one.Height() * 3 / 2);
  EXPECT_GT(tall.Height(), one.Height() * 2);
  EXPECT_GT(large.Height(), one.Height() * 3 / 2);
  const std::string words = "many words that cannot fit on one line of a small picture";
  const Overlay wrapped = rasterizer.Rasterize(TextCue(words.c_str()), 320, 240);
  EXPECT_LE(wrapped.Width(), 320 * 9 / 10);
  EXPECT_GT(wrapped.Height(), one.Height() * 3 / 2);
  const Overlay huge = rasterizer.Rasterize(TextCue(std::string(4000, 'W').c_str()), 64, 48);
  EXPECT_LE(huge.Width(), 64);
  EXPECT_LE(huge.Height(), 48);
}

}  // namespace
