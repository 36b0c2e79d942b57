#include "standins/mux/StreamTypes.h"

#include <windows.h>
#include <dshow.h>
#include <dvdmedia.h>
#include <gtest/gtest.h>
#include <mmreg.h>
#include <wrl/client.h>

#include <cstring>
#include <utility>
#include <vector>

#include "standins/asf/AsfMux.h"
#include "standins/avi/AviMux.h"
#include "standins/base/MediaType.h"
#include "standins/base/Pin.h"
#include "standins/mkv/MatroskaMux.h"
#include "support/TestStreams.h"

namespace {

using test_streams::kI420;
using test_streams::kMjpg;
using test_streams::kYv12;

GUID FourCcSubtype(DWORD fourcc) {
  GUID subtype = MEDIASUBTYPE_YV12;
  subtype.Data1 = fourcc;
  return subtype;
}

// A VIDEOINFOHEADER type with extra bytes of codec data after the picture header.
standin::MediaType Video(const GUID& subtype, DWORD compression, WORD bits, LONG height,
                         DWORD extra = 0, LONG width = 320, DWORD sizeImage = 0) {
  standin::MediaType mt;
  mt->majortype = MEDIATYPE_Video;
  mt->subtype = subtype;
  mt->formattype = FORMAT_VideoInfo;
  auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormat(sizeof(VIDEOINFOHEADER) + extra));
  vih->AvgTimePerFrame = 333667;
  vih->bmiHeader = {
      static_cast<DWORD>(sizeof(BITMAPINFOHEADER) + extra), width, height, 1, bits, compression,
      sizeImage};
  for (DWORD i = 0; i < extra; ++i) mt->pbFormat[sizeof(VIDEOINFOHEADER) + i] = 0xA0 + i;
  return mt;
}

// The same picture in a VIDEOINFOHEADER2 of picture aspect ratio x:y.
standin::MediaType Widened(const standin::MediaType& vih, DWORD x, DWORD y) {
  standin::MediaType mt = vih;
  auto* vih2 = reinterpret_cast<VIDEOINFOHEADER2*>(mt.AllocFormat(sizeof(VIDEOINFOHEADER2)));
  *vih2 = {{}, {}, 0, 0, vih.FrameTime(), 0, 0, x, y};
  vih2->bmiHeader = *vih.VideoHeader();
  mt->formattype = FORMAT_VideoInfo2;
  return mt;
}

standin::MediaType Wave(WORD tag, WORD bits, const GUID* subFormat = nullptr) {
  standin::MediaType mt;
  mt->majortype = MEDIATYPE_Audio;
  mt->subtype = MEDIASUBTYPE_PCM;
  mt->formattype = FORMAT_WaveFormatEx;
  auto* wave =
      reinterpret_cast<WAVEFORMATEXTENSIBLE*>(mt.AllocFormat(sizeof(WAVEFORMATEXTENSIBLE)));
  wave->Format = {tag, 2, 44100, 44100u * 2 * bits / 8, static_cast<WORD>(2 * bits / 8), bits, 0};
  if (subFormat) {
    wave->Format.cbSize = 22;
    wave->Samples.wValidBitsPerSample = bits;
    wave->SubFormat = *subFormat;
  } else {
    mt->cbFormat = sizeof(WAVEFORMATEX);
  }
  return mt;
}

TEST(DescribeStream, TakesWhatTheFilesHoldAndRefusesTheRest) {
  const GUID kPcm = {WAVE_FORMAT_PCM, 0, 0x10, {0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71}};
  const GUID kFloat = {WAVE_FORMAT_IEEE_FLOAT, 0, 0x10, {0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71}};
  const struct {
    const char* name;
    standin::MediaType mt;
    bool taken;
    bool compressed;
    uint32_t handler;
    size_t formatBytes;
    bool pcm = false;
    DWORD sizeImage = 0;  // the written header's: packed pictures, whatever upstream's says
    std::pair<uint32_t, uint32_t> aspect = {};  // in lowest terms, 16 bits at most
  } cases[] = {
      {"RGB24", Video(MEDIASUBTYPE_RGB24, BI_RGB, 24, 240), true, false, 0, 40, false, 230400},
      {"RGB32", Video(MEDIASUBTYPE_RGB32, BI_RGB, 32, 240), true, false, 0, 40, false, 307200},
      {"YV12", Video(MEDIASUBTYPE_YV12, kYv12, 12, 240), true, true, kYv12, 40, false, 115200},
      {"I420", Video(FourCcSubtype(kI420), kI420, 12, 240), true, true, kI420, 40, false, 115200},
      {"I420 854 wide, padded rows", Video(FourCcSubtype(kI420), kI420, 12, 480, 0, 854, 616320),
       true, true, kI420, 40, false, 614880},
      {"YUY2", Video(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16, 240), true, true,
       MAKEFOURCC('Y', 'U', 'Y', '2'), 40, false, 153600},
      {"MJPG with codec data", Video(FourCcSubtype(kMjpg), kMjpg, 24, 240, 6), true, true, kMjpg,
       46},
      {"I420 of 32:18", Widened(Video(FourCcSubtype(kI420), kI420, 12, 240), 32, 18), true,
       true, kI420, 40, false, 115200, {16, 9}},
      {"RGB24 of 70001:3", Widened(Video(MEDIASUBTYPE_RGB24, BI_RGB, 24, 240), 70001, 3), true,
       false, 0, 40, false, 230400},
      {"RGB24 subtype, 32 bits", Video(MEDIASUBTYPE_RGB24, BI_RGB, 32, 240), false},
      {"RGB565 bit fields", Video(MEDIASUBTYPE_RGB565, BI_BITFIELDS, 16, 240), false},
      {"ARGB32", Video(MEDIASUBTYPE_ARGB32, BI_RGB, 32, 240), false},
      {"top-down RGB24", Video(MEDIASUBTYPE_RGB24, BI_RGB, 24, -240), false},
      {"YV12 subtype, I420 picture", Video(MEDIASUBTYPE_YV12, kI420, 12, 240), false},
      {"16-bit PCM", Wave(WAVE_FORMAT_PCM, 16), true, false, 0, 18, true},
      {"extensible PCM", Wave(WAVE_FORMAT_EXTENSIBLE, 16, &kPcm), true, false, 0, 40, true},
      {"extensible float", Wave(WAVE_FORMAT_EXTENSIBLE, 32, &kFloat), false},
      {"float", Wave(WAVE_FORMAT_IEEE_FLOAT, 32), false},
      {"IMA ADPCM", Wave(WAVE_FORMAT_IMA_ADPCM, 4), true, false, 0, 18},
      {"extensible without its extension", Wave(WAVE_FORMAT_EXTENSIBLE, 16), false},
  };
  for (const auto& c : cases) {
    StreamInfo info;
    ASSERT_EQ(DescribeStream(c.mt, info), c.taken) << c.name;
    if (!c.taken) continue;
    EXPECT_EQ(info.compressed, c.compressed) << c.name;
    EXPECT_EQ(info.handler, c.handler) << c.name;
    ASSERT_EQ(info.format.size(), c.formatBytes) << c.name;
    if (info.kind == StreamInfo::Kind::kAudio) {
      EXPECT_TRUE(info.pcm == c.pcm && info.sampleRate == 44100 && info.channels == 2) << c.name;
    }
    EXPECT_EQ(std::make_pair(info.aspectX, info.aspectY), c.aspect) << c.name;
    const BYTE* block =
        c.mt.VideoHeader() ? reinterpret_cast<const BYTE*>(c.mt.VideoHeader()) : c.mt->pbFormat;
    std::vector<BYTE> expected(block, block + c.formatBytes);
    if (c.sizeImage) memcpy(&expected[offsetof(BITMAPINFOHEADER, biSizeImage)], &c.sizeImage, 4);
    EXPECT_EQ(info.format, expected) << c.name;
  }
}

// Matroska and ASF readers show bottom-up RGB upside down: only the AVI
// multiplexer takes it, the others leave upstream to offer YUV.
TEST(MultiplexerInput, TakesRgbOnlyWhereReadersKeepItsRowOrder) {
  const standin::MediaType types[] = {
      Video(MEDIASUBTYPE_RGB24, BI_RGB, 24, 240),
      Video(MEDIASUBTYPE_YV12, kYv12, 12, 240),
      Video(FourCcSubtype(kMjpg), kMjpg, 24, 240),
      Wave(WAVE_FORMAT_PCM, 16),
  };
  const struct {
    const char* name;
    Multiplexer* (*create)();
    std::vector<HRESULT> answers;  // to types, in turn
  } muxes[] = {
      {"AVI", []() -> Multiplexer* { return new AviMux; }, {S_OK, S_OK, S_OK, S_OK}},
      {"Matroska", []() -> Multiplexer* { return new MatroskaMux; }, {S_FALSE, S_OK, S_OK, S_OK}},
      {"ASF", []() -> Multiplexer* { return new AsfMux; }, {S_FALSE, S_OK, S_OK, S_OK}},
  };
  for (const auto& mux : muxes) {
    Microsoft::WRL::ComPtr<IBaseFilter> filter;
    Multiplexer* created = mux.create();
    *filter.ReleaseAndGetAddressOf() = created;  // adopts the creation reference
    std::vector<HRESULT> answers;
    for (const standin::MediaType& type : types)
      answers.push_back(created->PinAt(0)->QueryAccept(&type.Get()));
    EXPECT_EQ(answers, mux.answers) << mux.name;
  }
}

}  // namespace
