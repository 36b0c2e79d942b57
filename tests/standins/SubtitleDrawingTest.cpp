// Laying out, rasterising and blending cues into frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "SubtitleTestSupport.h"
#include "standins/base/PictureLayout.h"
#include "standins/subtitles/CueLayout.h"
#include "standins/subtitles/CuePlacer.h"
#include "standins/subtitles/CueRasterizer.h"
#include "standins/subtitles/PlacedOverlay.h"
#include "standins/subtitles/Overlay.h"
#include "standins/subtitles/SubtitlePainter.h"
#include "standins/subtitles/TextMeasurer.h"
#include "support/TestNoise.h"

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

// Declared by the bitmap header (packed, as files store it), or as Wine's
// decoders deliver a picture: GStreamer's layout (gst_video_info_set_format's
// strides and sizes, written here), told apart by the sample's length.
TEST(PictureLayouts, FollowTheBitmapFormatOrTheSampleLength) {
  const struct {
    PixelFormat format;
    int width, bitmapHeight, strideWidth;
    size_t length;  // of the sample; 0: the declared layout's own
    std::vector<size_t> strides;  // none: no layout fits
    size_t bytes;
    bool bottomUp;
  } kCases[] = {
      {PixelFormat::kI420, 854, 480, 854, 0, {854, 427, 427}, 614880, false},
      {PixelFormat::kI420, 854, 480, 854, 616320, {856, 428, 428}, 616320, false},
      {PixelFormat::kI420, 426, 240, 426, 154560, {428, 216, 216}, 154560, false},
      {PixelFormat::kYv12, 322, 242, 322, 118096, {324, 164, 164}, 118096, false},
      {PixelFormat::kI420, 852, 480, 852, 614400, {852, 428, 428}, 614400, false},
      {PixelFormat::kI420, 640, 480, 640, 460800, {640, 320, 320}, 460800, false},
      {PixelFormat::kNv12, 854, 480, 854, 616320, {856, 856}, 616320, false},
      // Odd sizes: GStreamer's chroma planes start after an even number of rows.
      {PixelFormat::kI420, 15, 11, 15, 288, {16, 8, 8}, 288, false},
      {PixelFormat::kI420, 321, 241, 321, 0, {321, 161, 161}, 116323, false},
      {PixelFormat::kI420, 321, 241, 321, 118096, {324, 164, 164}, 118096, false},
      {PixelFormat::kYv12, 320, 241, 320, 116160, {320, 160, 160}, 116160, false},
      {PixelFormat::kI420, 1, 1, 1, 16, {4, 4, 4}, 16, false},
      {PixelFormat::kNv12, 321, 241, 321, 0, {321, 322}, 116323, false},
      {PixelFormat::kNv12, 321, 241, 321, 117612, {324, 324}, 117612, false},
      {PixelFormat::kYuy2, 321, 241, 321, 155204, {644}, 155204, false},
      {PixelFormat::kRgb24, 321, 241, 321, 232324, {964}, 232324, true},
      {PixelFormat::kRgb32, 321, -241, 321, 309444, {1284}, 309444, false},
      {PixelFormat::kYv12, 16, 12, 20, 0, {20, 10, 10}, 360, false},
      {PixelFormat::kYuy2, 16, -5, 16, 0, {32}, 160, false},
      {PixelFormat::kRgb24, 15, 10, 15, 480, {48}, 480, true},
      {PixelFormat::kRgb32, 12, -10, 16, 0, {64}, 640, false},
      {PixelFormat::kI420, 854, 480, 854, 614881, {}, 0, false},
      {PixelFormat::kI420, 854, 480, 854, 460800, {}, 0, false},
      {PixelFormat::kI420, 321, 241, 321, 117772, {}, 0, false},  // chroma after 241 rows
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.bitmapHeight) + " length " +
                 std::to_string(c.length));
    const auto declared = DeclaredLayout(c.format, c.width, c.bitmapHeight, c.strideWidth);
    ASSERT_TRUE(declared);
    const auto layout = SampleLayout(*declared, c.length ? c.length : declared->Bytes());
    ASSERT_EQ(layout.has_value(), !c.strides.empty());
    if (!layout) continue;
    std::vector<size_t> strides;
    for (int i = 0; i < layout->planeCount; ++i) {
      strides.push_back(layout->planes[i].stride);
      EXPECT_LE(layout->planes[i].rowBytes, strides.back()) << "rows overlap in plane " << i;
    }
    EXPECT_EQ(strides, c.strides);
    EXPECT_EQ(layout->Bytes(), c.bytes);
    EXPECT_EQ(layout->bottomUp, c.bottomUp);
  }
  EXPECT_FALSE(DeclaredLayout(PixelFormat::kRgb32, 100000, 10, 100000));
  EXPECT_FALSE(DeclaredLayout(PixelFormat::kRgb32, 20, 10, 16)) << "wider than its rows";
}

// A padded picture packed and padded again keeps every picture byte.
TEST(PictureLayouts, CopyPicturesBetweenLayouts) {
  for (const auto& [format, width, height, bytes] :
       {std::tuple{PixelFormat::kI420, 426, 240, 154560}, {PixelFormat::kYv12, 321, 241, 118096},
        {PixelFormat::kNv12, 321, 241, 117612}}) {
    const PictureLayout packed = *DeclaredLayout(format, width, height, width);
    const PictureLayout padded = *SampleLayout(packed, bytes);
    std::vector<uint8_t> source(padded.Bytes());
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + i / 428);
    std::vector<uint8_t> tight(packed.Bytes()), back(padded.Bytes(), 0);
    CopyPicture(padded, source.data(), packed, tight.data());
    CopyPicture(packed, tight.data(), padded, back.data());
    for (size_t i = 0; i < source.size(); ++i) {
      if (PlaceOfByte(padded, i).plane >= 0) {
        ASSERT_EQ(back[i], source[i]) << width << "x" << height << " byte " << i;
      }
    }
    EXPECT_EQ(PackedLayout(padded), packed);
    // The V plane's first row, packed, follows its U plane at once.
    EXPECT_TRUE(width != 426 || memcmp(tight.data() + 426 * 240 + 213 * 120,
                                       source.data() + 428 * 240 + 216 * 120, 213) == 0);
  }
}

constexpr size_t kGuard = 256;  // bytes after the frame that must stay

std::vector<uint8_t> Noise(size_t size) {
  const std::string noise = TestNoise(7).Bytes(size + kGuard);
  return std::vector<uint8_t>(noise.begin(), noise.end());
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

// One red glyph pixel at (2, 2), half covered, ringed by a blue outline of
// radius 1 over a green shadow 2 pixels down and right: A, R, G, B there.
TEST(Overlays, DrawTheOutlineOverTheShadowUnderTheGlyphs) {
  std::vector<uint8_t> coverage(49), rgb(49 * 3);
  coverage[2 * 7 + 2] = 128;
  rgb[(2 * 7 + 2) * 3] = 128;
  const struct {
    GlyphEdges edges;
    int x, y;
    std::vector<int> argb;
  } kCases[] = {
      {{1, 0x0000FF, 2, 0x00FF00}, 2, 2, {192, 128, 0, 64}},  // glyph over outline
      {{1, 0x0000FF, 2, 0x00FF00}, 3, 1, {128, 0, 0, 128}},   // outline
      {{1, 0x0000FF, 2, 0x00FF00}, 5, 5, {128, 0, 128, 0}},   // the outline's shadow
      {{1, 0x0000FF, 2, 0x00FF00}, 0, 0, {0, 0, 0, 0}},
      {{0, 0x0000FF, 2, 0x00FF00}, 2, 2, {128, 128, 0, 0}},  // no outline
      {{0, 0x0000FF, 2, 0x00FF00}, 4, 4, {128, 0, 128, 0}},  // the glyph's shadow
      {{0, 0x0000FF, 2, 0x00FF00}, 5, 5, {0, 0, 0, 0}},
      {{1, 0x0000FF, 0, 0x00FF00}, 4, 4, {0, 0, 0, 0}},  // no shadow
  };
  for (const auto& c : kCases) {
    const OverlayPixel p = Overlay::FromGlyphs(7, 7, coverage, rgb, c.edges).At(c.x, c.y);
    EXPECT_EQ(std::vector<int>({p.a, p.r, p.g, p.b}), c.argb)
        << c.edges.outline << " " << c.edges.shadow << " at " << c.x << "," << c.y;
  }
}

// What a frame byte holds: 'Y', 'U', 'V', 'B', 'G', 'R', 'x' (RGB32's fourth
// byte) or 'p' (padding).
char ChannelOfByte(const PictureLayout& layout, size_t offset) {
  const BytePlace place = PlaceOfByte(layout, offset);
  const size_t column = place.column;
  if (place.plane < 0) return 'p';
  switch (layout.format) {
    case PixelFormat::kYv12:
    case PixelFormat::kI420:
      if (place.plane == 0) return 'Y';
      return (place.plane == 1) == (layout.format == PixelFormat::kI420) ? 'U' : 'V';
    case PixelFormat::kYuy2:
      return column % 2 == 0 ? 'Y' : column % 4 == 1 ? 'U' : 'V';
    default:
      return "BGRx"[column % (layout.format == PixelFormat::kRgb24 ? 3 : 4)];
  }
}

// The blend by its definition, byte by byte: the covered pixels that share a
// byte give their summed coverage and premultiplied value.
std::vector<uint8_t> BlendedByDefinition(const Overlay& overlay, int left, int top,
                                         const PictureLayout& layout, std::vector<uint8_t> frame) {
  for (size_t i = 0; i < layout.Bytes(); ++i) {
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
    if (sumA > 0 && channel != 'x' && channel != 'p')
      frame[i] =
          static_cast<uint8_t>((255 * sumValue + (full - sumA) * frame[i] + full / 2) / full);
  }
  return frame;
}

// Placements cut at each side, on odd and even pixels, in every format the
// filter draws into: the bytes come out as the definition gives them.
TEST(Blending, PlacedOverlaysBlendEveryFormatAsDefined) {
  Overlay overlay(9, 7);
  TestNoise noise(11);
  for (int y = 0; y < overlay.Height(); ++y)
    for (int x = 0; x < overlay.Width(); ++x) {
      const uint32_t state = noise.Next();
      const uint8_t a = (state >> 28) < 5 ? 0 : static_cast<uint8_t>(state >> 8);  // some clear
      overlay.Set(x, y, state >> 4 & 0xFFFFFF, a);
    }
  const struct {
    PixelFormat format;
    int width, height, strideWidth;
    size_t length;  // of the sample: 0 for the declared layout's
  } kLayouts[] = {{PixelFormat::kYv12, 20, 14, 20, 0},
                  {PixelFormat::kI420, 18, 14, 24, 0},
                  {PixelFormat::kI420, 18, 13, 18, 448},  // rows padded: 20, 12, 12
                  {PixelFormat::kYuy2, 20, 13, 20, 0},
                  {PixelFormat::kRgb24, 19, 13, 19, 0},
                  {PixelFormat::kRgb32, 20, -13, 20, 0}};
  const std::pair<int, int> kPlaces[] = {{0, 0}, {5, 3}, {4, 6}, {-3, -2}, {15, 10}, {-4, 11}};
  for (const auto& l : kLayouts) {
    const PictureLayout declared = *DeclaredLayout(l.format, l.width, l.height, l.strideWidth);
    const PictureLayout layout = *SampleLayout(declared, l.length ? l.length : declared.Bytes());
    const std::vector<uint8_t> before = Noise(layout.Bytes());
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

// A 20 x 10 overlay whose text lies 2 pixels inside its edges, in a 100 x 50
// picture: its text box goes by the alignment, margins and position.
TEST(CuePlacers, PlaceTextByAlignmentMarginsAndPosition) {
  auto at = [](int alignment, double left, double right, double vertical) {
    return CuePlacement{alignment, left, right, vertical};
  };
  auto positioned = [](int alignment) { return CuePlacement{alignment, 0, 0, 0, true, 0.5, 0.5}; };
  const struct {
    CuePlacement placement;
    OverlayPlace expected;
  } kCases[] = {
      {CuePlacement{}, {40, 40}},       // centred, 4 % above the bottom
      {at(7, 0.1, 0.2, 0.1), {8, 3}},   // top left
      {at(9, 0.1, 0.2, 0.1), {62, 3}},  // top right
      {at(5, 0.1, 0.2, 0.1), {35, 20}}, {at(3, 0.1, 0, 0), {80, 40}},  // kept inside the picture
      {positioned(1), {48, 17}},  // the text's bottom left at the point
      {positioned(5), {40, 20}},        {positioned(9), {32, 23}},
  };
  for (const auto& c : kCases) {
    CuePlacer placer(100, 50);
    EXPECT_EQ(placer.Place(c.placement, 20, 10, 2), c.expected) << c.placement.alignment;
  }
  // Top cues stack downwards, bottom ones upwards, placed ones aside.
  CuePlacer placer(100, 50);
  const CuePlacement top = at(8, 0.1, 0.1, 0.1);
  const int tops[] = {placer.Place(top, 20, 10, 2).top, placer.Place(CuePlacement{}, 20, 10, 2).top,
                      placer.Place(positioned(5), 20, 10, 2).top, placer.Place(top, 20, 10, 2).top,
                      placer.Place(CuePlacement{}, 20, 10, 2).top};
  EXPECT_EQ(std::vector<int>(std::begin(tops), std::end(tops)),
            std::vector<int>({3, 40, 20, 13, 30}));
}

TEST(SubtitlePainters, DrawTheCuesOfEachFrameOnceRasterised) {
  std::vector<int64_t> calls;
  std::vector<Cue> cues = {
      {0, 100, {{{"a", {}}}}}, {50, 150, {{{"b", {}}}, {{"b", {}}}}}, {300, 400, {{{"c", {}}}}}};
  SubtitlePainter painter(CueList(cues), std::make_unique<BlockRasterizer>(calls));
  const PictureLayout layout = *DeclaredLayout(PixelFormat::kRgb32, 64, -64, 64);
  const std::vector<uint8_t> before = Noise(layout.Bytes());
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
    EXPECT_EQ(RowsChanged(before, frame, static_cast<int>(layout.planes[0].stride)), f.rows)
        << f.time;
  }
  EXPECT_EQ(calls, (std::vector<int64_t>{0, 50, 300}));
  std::vector<uint8_t> frame = before;
  painter.Paint(0, *DeclaredLayout(PixelFormat::kRgb32, 32, -32, 32), frame.data());
  EXPECT_EQ(calls.size(), 4u) << "a new picture size is drawn anew";
}

}  // namespace
