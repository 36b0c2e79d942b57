// Laying out, rasterising and blending cues into frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "SubtitleTestSupport.h"
#include "standins/subtitles/CueLayout.h"
#include "standins/subtitles/CueRasterizer.h"
#include "standins/subtitles/FrameBlender.h"
#include "standins/subtitles/FrameLayout.h"
#include "standins/subtitles/Overlay.h"
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
  TextStyle bold;
  bold.bold = true;
  const std::vector<PlacedLine> styled =
      LayOutCue({{{"ab ", {}}, {"cd", bold}}, {}}, 1000, FixedMeasurer());
  ASSERT_EQ(styled.size(), 2u) << "a blank line stays";
  ASSERT_EQ(styled[0].runs.size(), 2u);
  EXPECT_EQ(styled[0].runs[1].x, 30);
  EXPECT_EQ(styled[0].width, 54);
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
      {PixelFormat::kRgb32, 16, -10, 12, true, 64, false, 640},
      {PixelFormat::kYv12, 16, 12, 0, true, 16, false, 288},
      {PixelFormat::kYuy2, 16, -5, 0, true, 32, false, 160},
      {PixelFormat::kI420, 15, 12, 0, false},
      {PixelFormat::kYv12, 16, 11, 0, false},
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

constexpr size_t kGuard = 256;  // bytes after the frame that must stay

std::vector<uint8_t> Noise(size_t size) {
  std::vector<uint8_t> bytes(size + kGuard);
  uint32_t state = 7;
  for (uint8_t& b : bytes) {
    state = state * 1664525 + 1013904223;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

// The colour bytes of picture pixel (x, y): B, G, R, or its luma.
std::vector<uint8_t> BytesOfPixel(const FrameLayout& layout, const std::vector<uint8_t>& frame,
                                  int x, int y) {
  std::vector<uint8_t> values;
  for (size_t i = 0; i < layout.RequiredBytes(); ++i) {
    const PixelRect p = PixelsOfByte(layout, i);
    if (p.x0 == x && p.x1 == x + 1 && p.y0 == y && p.y1 == y + 1) values.push_back(frame[i]);
  }
  values.resize(std::min<size_t>(values.size(), 3));  // not RGB32's fourth byte
  return values;
}

TEST(Blending, ChangesOnlyPixelsTheOverlayCovers) {
  // Covered: white (0, 0), black (5, 3), half-covered red (2, 2); the rest is clear.
  Overlay overlay(6, 4);
  overlay.Set(0, 0, 0xFFFFFF, 255);
  overlay.Set(5, 3, 0x000000, 255);
  overlay.Set(2, 2, 0xFF0000, 128);
  const struct {
    PixelFormat format;
    int height;  // negative: top-down RGB
  } kFormats[] = {{PixelFormat::kYv12, 12},  {PixelFormat::kI420, 12},   {PixelFormat::kYuy2, 12},
                  {PixelFormat::kRgb24, 12}, {PixelFormat::kRgb24, -12}, {PixelFormat::kRgb32, 12},
                  {PixelFormat::kRgb32, -12}};
  for (const auto& f : kFormats) {
    const FrameLayout layout = *MakeFrameLayout(f.format, 16, f.height, 0);
    const bool rgb = f.format == PixelFormat::kRgb24 || f.format == PixelFormat::kRgb32;
    const std::vector<uint8_t> before = Noise(layout.RequiredBytes());
    for (const auto& [left, top] : {std::pair{5, 6}, {-3, 10}, {14, -2}, {0, 0}}) {
      std::vector<uint8_t> frame = before;
      BlendOverlay(overlay, left, top, layout, frame.data());
      for (size_t i = 0; i < frame.size(); ++i) {
        if (frame[i] == before[i]) continue;
        ASSERT_LT(i, layout.RequiredBytes()) << "wrote past the frame";
        const PixelRect p = PixelsOfByte(layout, i);
        bool covered = false;
        for (const auto& [x, y] : {std::pair{0, 0}, {5, 3}, {2, 2}})
          covered |= x + left >= p.x0 && x + left < p.x1 && y + top >= p.y0 && y + top < p.y1;
        EXPECT_TRUE(covered) << "format " << int(f.format) << " byte " << i;
      }
      if (left != 5) continue;
      EXPECT_EQ(BytesOfPixel(layout, frame, 5, 6),
                std::vector<uint8_t>(rgb ? 3 : 1, rgb ? 255 : 235));
      EXPECT_EQ(BytesOfPixel(layout, frame, 10, 9),
                std::vector<uint8_t>(rgb ? 3 : 1, rgb ? 0 : 16));
    }
  }
}

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

}  // namespace
