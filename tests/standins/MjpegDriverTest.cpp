// The MJPEG codec as the prefix has it installed, through the Video for
// Windows API as the program and Wine's wrapper reach it.

#include <windows.h>
#include <vfw.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standins/codecs/MjpegResource.h"
#include "standins/codecs/MjpegSettings.h"
#include "standins/KeptMjpegSettings.h"
#include "support/ScriptedDialog.h"

namespace {

constexpr DWORD kMjpg = mmioFOURCC('M', 'J', 'P', 'G');

BITMAPINFOHEADER Header(LONG width, LONG height, WORD bits, DWORD compression) {
  return {sizeof(BITMAPINFOHEADER), width, height, 1, bits, compression, 0, 0, 0, 0, 0};
}

std::vector<uint8_t> State(int quality, ChromaSampling sampling) {
  uint8_t block[kMjpegStateSize];
  WriteMjpegState({quality, sampling}, block);
  return {block, block + sizeof block};
}

class MjpegDriverTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HIC hic : m_open) ICClose(hic);
  }
  HIC Open(UINT mode = ICMODE_COMPRESS) {
    HIC hic = ICOpen(ICTYPE_VIDEO, kMjpg, mode);
    if (hic) m_open.push_back(hic);
    return hic;
  }
  std::vector<uint8_t> GetState(HIC hic) {
    std::vector<uint8_t> state(kMjpegStateSize);
    EXPECT_EQ(ICGetState(hic, state.data(), state.size()), ICERR_OK);
    return state;
  }

 private:
  KeptMjpegSettings m_kept;
  std::vector<HIC> m_open;
};

TEST_F(MjpegDriverTest, IsInstalledForCompressionOnly) {
  ICINFO info = {sizeof info};
  bool listed = false;
  for (DWORD i = 0; ICInfo(ICTYPE_VIDEO, i, &info); ++i) listed |= info.fccHandler == kMjpg;
  EXPECT_TRUE(listed);
  HIC hic = Open();
  ASSERT_NE(hic, nullptr);
  ASSERT_EQ(ICGetInfo(hic, &info, sizeof info), static_cast<LRESULT>(sizeof info));
  EXPECT_STREQ(info.szDescription, L"MJPEG Compressor");
  EXPECT_NE(Open(ICMODE_QUERY), nullptr);
  EXPECT_EQ(Open(ICMODE_DECOMPRESS), nullptr);
  EXPECT_EQ(Open(ICMODE_DRAW), nullptr);
}

TEST_F(MjpegDriverTest, TakesUncompressedPicturesAndRefusesTheRest) {
  const struct {
    BITMAPINFOHEADER in;
    LRESULT answer;
  } cases[] = {
      {Header(352, 240, 24, BI_RGB), ICERR_OK},
      {Header(352, -240, 24, BI_RGB), ICERR_OK},  // top-down
      {Header(351, 239, 32, BI_RGB), ICERR_OK},
      {Header(352, 240, 16, mmioFOURCC('Y', 'U', 'Y', '2')), ICERR_OK},
      {Header(352, 240, 12, mmioFOURCC('Y', 'V', '1', '2')), ICERR_OK},
      {Header(352, 240, 12, mmioFOURCC('I', 'Y', 'U', 'V')), ICERR_OK},
      {Header(352, 240, 16, BI_RGB), ICERR_BADFORMAT},
      {Header(352, 240, 24, kMjpg), ICERR_BADFORMAT},
      {Header(351, 240, 16, mmioFOURCC('Y', 'U', 'Y', '2')), ICERR_BADFORMAT},
      {Header(351, 239, 12, mmioFOURCC('Y', 'V', '1', '2')), ICERR_OK},  // odd sizes
      {Header(352, -240, 12, mmioFOURCC('Y', 'V', '1', '2')), ICERR_BADFORMAT},
      {Header(70000, 240, 24, BI_RGB), ICERR_BADFORMAT},
      {{12, 352, 240, 1, 24}, ICERR_BADFORMAT},  // an old core header
  };
  HIC hic = Open();
  ASSERT_NE(hic, nullptr);
  for (const auto& c : cases) {
    const std::string name = std::to_string(c.in.biWidth) + "x" + std::to_string(c.in.biHeight) +
                             " " + std::to_string(c.in.biBitCount);
    const BITMAPINFO* in = reinterpret_cast<const BITMAPINFO*>(&c.in);
    EXPECT_EQ(ICCompressQuery(hic, in, nullptr), c.answer) << name;
    BITMAPINFOHEADER out = {};
    const LRESULT format = ICCompressGetFormat(hic, in, &out);
    EXPECT_EQ(format, c.answer) << name;
    if (c.answer != ICERR_OK) continue;
    EXPECT_EQ(out.biCompression, kMjpg);
    EXPECT_EQ(out.biWidth, c.in.biWidth);
    EXPECT_EQ(out.biHeight, labs(c.in.biHeight)) << "JPEG pictures are top-down";
    EXPECT_EQ(static_cast<LRESULT>(out.biSizeImage), ICCompressGetSize(hic, in, &out));
    EXPECT_EQ(ICCompressQuery(hic, in, &out), ICERR_OK) << name;
    out.biWidth += 2;
    EXPECT_EQ(ICCompressQuery(hic, in, &out), ICERR_BADFORMAT) << "another size: " << name;
  }
}

// A frame at the state's quality: quality 20 scales the first luminance
// quantiser, 16, to 40. (Frames are decoded in the encoder's and the graph's tests.)
TEST_F(MjpegDriverTest, CompressesAFrameAtTheStateQualityAndNeverReadsPastTheInput) {
  HIC hic = Open();
  ASSERT_NE(hic, nullptr);
  const std::vector<uint8_t> state = State(20, ChromaSampling::k420);
  ASSERT_EQ(ICSetState(hic, state.data(), state.size()), static_cast<LRESULT>(state.size()));
  BITMAPINFOHEADER in = Header(352, 240, 24, BI_RGB);
  std::vector<uint8_t> picture(352 * 240 * 3);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i / 1000);
  BITMAPINFOHEADER out = {};
  ASSERT_EQ(ICCompressGetFormat(hic, &in, &out), ICERR_OK);
  std::vector<uint8_t> jpeg(static_cast<size_t>(ICCompressGetSize(hic, &in, &out)), 0xAB);
  ASSERT_EQ(ICCompressBegin(hic, &in, &out), ICERR_OK);
  DWORD flags = 0, chunk = 0;
  ASSERT_EQ(ICCompress(hic, 0, &out, jpeg.data(), &in, picture.data(), &chunk, &flags, 0, 0,
                       ICQUALITY_DEFAULT, nullptr, nullptr),
            ICERR_OK);
  EXPECT_EQ(flags, static_cast<DWORD>(AVIIF_KEYFRAME));
  ASSERT_GT(out.biSizeImage, 600u);
  jpeg.resize(out.biSizeImage);
  const std::string bytes(jpeg.begin(), jpeg.end());
  const size_t dqt = bytes.find("\xFF\xDB");
  ASSERT_NE(dqt, std::string::npos);
  EXPECT_EQ(jpeg[dqt + 5], 40);

  in.biSizeImage = static_cast<DWORD>(picture.size() - 1);
  EXPECT_EQ(ICCompress(hic, 0, &out, jpeg.data(), &in, picture.data(), &chunk, &flags, 1, 0,
                       ICQUALITY_DEFAULT, nullptr, nullptr),
            ICERR_BADFORMAT)
      << "a picture shorter than its size";
  ICCompressEnd(hic);
}

TEST_F(MjpegDriverTest, StateBlocksOfAnotherSizeOrVersionAreRefused) {
  HIC hic = Open();
  ASSERT_NE(hic, nullptr);
  EXPECT_EQ(ICGetState(hic, nullptr, 0), static_cast<LRESULT>(kMjpegStateSize));
  const std::vector<uint8_t> before = GetState(hic);
  EXPECT_EQ(before, State(MjpegSettings::kDefaultQuality, ChromaSampling::k420));

  std::vector<uint8_t> longer = State(30, ChromaSampling::k422);
  longer.push_back(0);
  std::vector<uint8_t> version2 = State(30, ChromaSampling::k422);
  version2[4] = 2;
  std::vector<uint8_t> quality101 = State(30, ChromaSampling::k422);
  quality101[8] = 101;
  const struct {
    std::vector<uint8_t> block;
    size_t size;
  } refused[] = {
      {State(30, ChromaSampling::k422), kMjpegStateSize - 1},
      {longer, longer.size()},
      {version2, version2.size()},
      {quality101, quality101.size()},
  };
  for (const auto& c : refused) {
    EXPECT_EQ(ICSetState(hic, c.block.data(), c.size), 0) << c.size;
    EXPECT_EQ(GetState(hic), before);
  }
  const std::vector<uint8_t> good = State(30, ChromaSampling::k422);
  EXPECT_EQ(ICSetState(hic, good.data(), good.size()), static_cast<LRESULT>(good.size()));
  EXPECT_EQ(GetState(hic), good);
  std::vector<uint8_t> small(kMjpegStateSize - 1, 0xEE);
  EXPECT_EQ(ICGetState(hic, small.data(), small.size()), ICERR_BADSIZE);
  EXPECT_EQ(small, std::vector<uint8_t>(kMjpegStateSize - 1, 0xEE));
}

// What the dialog confirms is the state of every instance opened later, in
// this run or the next; what it cancels is nothing.
TEST_F(MjpegDriverTest, ConfirmedSettingsAreKeptForLaterInstances) {
  HIC hic = Open();
  ASSERT_NE(hic, nullptr);
  EXPECT_TRUE(ICQueryConfigure(hic));
  const struct {
    const char* quality;
    int sampling;
    int button;
    LRESULT result;
    std::vector<uint8_t> kept;
  } steps[] = {
      {"40", 1, IDOK, ICERR_OK, State(40, ChromaSampling::k422)},
      {"10", 0, IDCANCEL, ICERR_ABORT, State(40, ChromaSampling::k422)},
      {"250", 0, IDOK, ICERR_OK, State(100, ChromaSampling::k420)},
  };
  for (const auto& step : steps) {
    std::string shown;
    LRESULT result = ICERR_UNSUPPORTED;
    DriveNested([&] { result = ICConfigure(hic, nullptr); }, IDC_MJPEG_QUALITY,
                [&](HWND dialog) {
                  shown = ControlText(dialog, IDC_MJPEG_QUALITY);
                  SetDlgItemTextA(dialog, IDC_MJPEG_QUALITY, step.quality);
                  SendDlgItemMessageA(dialog, IDC_MJPEG_SAMPLING, CB_SETCURSEL, step.sampling, 0);
                  Click(dialog, step.button);
                });
    EXPECT_EQ(result, step.result) << step.quality;
    EXPECT_EQ(GetState(hic), step.kept) << step.quality;
    HIC later = Open();
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(GetState(later), step.kept) << step.quality;
  }
}

}  // namespace
