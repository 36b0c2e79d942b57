// Laying out, rasterising and blending cues into frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "SubtitleTestSupport.h"
#include "standins/subtitles/CueLayout.h"
#include "standins/subtitles/CueRasterizer.h"
#include "standins/subtitles/PlacedOverlay.h"
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
      {"a  b", 30, "a|b"},
      {"  lead", 100, "lead"},
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

// Studio-range BT.601 of pure colours, premultiplied by the coverage.
TEST(Overlays, KeepColoursAsRgbAndYuv) {
  const struct {
    uint32_t rgb;
    uint8_t a;
    OverlayPixel expected;
  } kCases[] = {{0xFFFFFF, 255, {255, 255, 255, 255, 235, 128, 128}},
                {0x000000, 255, {255, 0, 0, 0, 16, 128, 128}},
                {0xFF0000, 255, {255, 255, 0, 0, 82, 90, 240}},
                {0xFF0000, 128, {128, 128, 0, 0, 41, 45, 120}}};
  for (const auto& c : kCases) {
    Overlay overlay(1, 1);
    overlay.Set(0, 0, c.rgb, c.a);
    const OverlayPixel& p = overlay.At(0, 0);
    const OverlayPixel& e = c.expected;
    EXPECT_EQ(std::vector<int>({p.a, p.r, p.g, p.b, p.y, p.u, p.v}),
              std::vector<int>({e.a, e.r, e.g, e.b, e.y, e.u, e.v}))
        << std::hex << c.rgb << " " << int(c.a);
  }
}

// What a frame byte holds: 'Y', 'U', 'V', 'B', 'G', 'R', or 'x' (RGB32's fourth byte).
char ChannelOfByte(const FrameLayout& layout, size_t offset) {
  const size_t luma = static_cast<size_t>(layout.stride) * layout.height;
  const size_t column = offset % layout.stride;
  switch (layout.format) {
    case PixelFormat::kYv12:
    case PixelFormat::kI420:
      if (offset < luma) return 'Y';
      return (offset < luma + luma / 4) == (layout.format == PixelFormat::kI420) ? 'U' : 'V';
    case PixelFormat::kYuy2:
      return column % 2 == 0 ? 'Y' : column % 4 == 1 ? 'U' : 'V';
    default:
      return "BGRx"[column % (layout.format == PixelFormat::kRgb24 ? 3 : 4)];
  }
}

// The blend by its definition, byte by byte: the covered pixels that share a
// byte give their summed coverage and premultiplied value.
std::vector<uint8_t> BlendedByDefinition(const Overlay& overlay, int left, int top,
                                         const FrameLayout& layout, std::vector<uint8_t> frame) {
  for (size_t i = 0; i < layout.RequiredBytes(); ++i) {
    const char channel = ChannelOfByte(layout, i);
    const PixelRect r = PixelsOfByte(layout, i);
    int sumA = 0, sumValue = 0;
    for (int y = std::max(r.y0, top); y < std::min({r.y1, top + overlay.Height(), layout.height});
         ++y)
      for (int x = std::max(r.x0, left); x < std::min({r.x1, left + overlay.Width(), layout.width});
           ++x) {
        const OverlayPixel& p = overlay.At(x - left, y - top);
        const uint8_t values[] = {p.y, p.u, p.v, p.b, p.g, p.r, 0};
        sumA += p.a;
        sumValue += values[std::string_view("YUVBGRx").find(channel)];
      }
    const int full = 255 * (r.x1 - r.x0) * (r.y1 - r.y0);
    if (sumA > 0 && channel != 'x')
      frame[i] =
          static_cast<uint8_t>((255 * sumValue + (full - sumA) * frame[i] + full / 2) / full);
  }
  return frame;
}

// Placements cut at each side, on odd and even pixels, in every format the
// filter draws into: the bytes come out as the definition gives them.
TEST(Blending, PlacedOverlaysBlendEveryFormatAsDefined) {
  Overlay overlay(9, 7);
  uint32_t state = 11;
  for (int y = 0; y < overlay.Height(); ++y)
    for (int x = 0; x < overlay.Width(); ++x) {
      state = state * 1664525 + 1013904223;
      const uint8_t a = (state >> 28) < 5 ? 0 : static_cast<uint8_t>(state >> 8);  // some clear
      overlay.Set(x, y, state >> 4 & 0xFFFFFF, a);
    }
  const struct {
    PixelFormat format;
    int strideWidth, height, visible;
  } kLayouts[] = {{PixelFormat::kYv12, 20, 14, 0},
                  {PixelFormat::kI420, 24, 14, 18},
                  {PixelFormat::kYuy2, 20, 13, 0},
                  {PixelFormat::kRgb24, 19, 13, 0},
                  {PixelFormat::kRgb32, 20, -13, 0}};
  const std::pair<int, int> kPlaces[] = {{0, 0}, {5, 3}, {4, 6}, {-3, -2}, {15, 10}, {-4, 11}};
  for (const auto& l : kLayouts) {
    const FrameLayout layout = *MakeFrameLayout(l.format, l.strideWidth, l.height, l.visible);
    const std::vector<uint8_t> before = Noise(layout.RequiredBytes());
    for (const auto& [left, top] : kPlaces) {
      std::vector<uint8_t> frame = before;
      const PlacedOverlay placed(overlay, left, top, layout);
      placed.BlendInto(frame.data());
      EXPECT_EQ(frame, BlendedByDefinition(overlay, left, top, layout, before))
          << "format " << int(l.format) << " at " << left << "," << top;
      EXPECT_TRUE(placed.PlacedAt(left, top, layout));
      EXPECT_FALSE(placed.PlacedAt(left, top + 1, layout));
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
