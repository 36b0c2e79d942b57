// The JPEG and IMA ADPCM encoders, judged by Debian's ffmpeg outside Wine: it
// decodes what they make, and the result is compared with what went in.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "standins/codecs/ImaAdpcmEncoder.h"
#include "standins/codecs/MjpegCodec.h"
#include "support/ClipFolder.h"
#include "support/LinuxCommand.h"
#include "support/TestNoise.h"

namespace {

// What ffmpeg decodes from input, as raw bytes with these output options; empty on failure.
std::string Decode(const ClipFolder& folder, const std::string& input, const std::string& options) {
  const std::string raw = folder.PathOf("decoded.raw");
  const LinuxCommandResult run =
      RunLinuxCommand("ffmpeg -v error -y -i " + ShellQuote(UnixPath(input)) + " " + options + " " +
                      ShellQuote(UnixPath(raw)));
  if (!run.finished || run.exitCode != 0 || !run.output.empty()) return {};
  std::ifstream file(raw, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

double Psnr(const std::string& a, const std::string& b) {
  double squares = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    const double d = static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
    squares += d * d;
  }
  return squares == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * a.size() / squares);
}

// A smooth picture with a dark block in its upper left, so that a flip or a
// shift shows.
void TestColour(int x, int y, int width, int height, int rgb[3]) {
  const bool block = x > width / 8 && x < width / 3 && y > height / 6 && y < height / 2;
  rgb[0] = block ? 20 : static_cast<int>(128 + 100 * std::sin(x / 13.0));
  rgb[1] = block ? 30 : y * 255 / height;
  rgb[2] = block ? 40 : static_cast<int>(128 + 90 * std::cos((x + 2 * y) / 17.0));
}

// Studio-range BT.601 of the test colour at (x, y).
void TestYuv(int x, int y, int width, int height, int yuv[3]) {
  int c[3];
  TestColour(x, y, width, height, c);
  yuv[0] =
      static_cast<int>(std::lround(16 + (0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]) * 219 / 255));
  yuv[1] = static_cast<int>(
      std::lround(128 + (-0.168736 * c[0] - 0.331264 * c[1] + 0.5 * c[2]) * 224 / 255));
  yuv[2] = static_cast<int>(
      std::lround(128 + (0.5 * c[0] - 0.418688 * c[1] - 0.081312 * c[2]) * 224 / 255));
}

struct PictureCase {
  const char* name;
  PixelFormat format;
  bool topDown;
  int width, height;
  ChromaSampling sampling;
  double minimumPsnr;  // dB
};

// The source picture's bytes in its format, and what ffmpeg should decode
// (pixel format, expected bytes).
void MakePicture(const PictureCase& c, std::string& source, std::string& decodeAs,
                 std::string& expected) {
  const int w = c.width, h = c.height;
  int v[3];
  if (c.format == PixelFormat::kRgb24 || c.format == PixelFormat::kRgb32) {
    const int bytes = c.format == PixelFormat::kRgb24 ? 3 : 4;
    const int stride = (w * bytes + 3) & ~3;
    source.assign(static_cast<size_t>(stride) * h, '\0');
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        TestColour(x, y, w, h, v);
        const size_t at = static_cast<size_t>(c.topDown ? y : h - 1 - y) * stride + x * bytes;
        for (int i = 0; i < 3; ++i) source[at + i] = static_cast<char>(v[2 - i]);
        for (int i = 0; i < 3; ++i) expected += static_cast<char>(v[2 - i]);
      }
    decodeAs = "bgr24";
    return;
  }
  if (c.format == PixelFormat::kYuy2) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        TestYuv(x & ~1, y, w, h, v);
        int luma[3];
        TestYuv(x, y, w, h, luma);
        source += static_cast<char>(luma[0]);
        source += static_cast<char>(v[x % 2 ? 2 : 1]);
      }
    expected = source;
    decodeAs = "yuyv422";
    return;
  }
  std::string planes[3];
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      TestYuv(x, y, w, h, v);
      planes[0] += static_cast<char>(v[0]);
      if (x % 2 || y % 2) continue;
      planes[1] += static_cast<char>(v[1]);
      planes[2] += static_cast<char>(v[2]);
    }
  expected = planes[0] + planes[1] + planes[2];
  source = c.format == PixelFormat::kI420 ? expected : planes[0] + planes[2] + planes[1];
  decodeAs = "yuv420p";
}

// RGB loses most: its chroma is halved here and the dark block's edges are
// sharp in colour; YUV comes with its chroma halved already. A flipped or
// shifted picture scores below 20 dB.
TEST(JpegEncoder, DecodesCloseToTheSourceAtQuality90) {
  const PictureCase cases[] = {
      {"RGB24 bottom-up", PixelFormat::kRgb24, false, 101, 75, ChromaSampling::k420, 31},
      {"RGB24 top-down", PixelFormat::kRgb24, true, 101, 75, ChromaSampling::k422, 34},
      {"RGB32", PixelFormat::kRgb32, false, 64, 48, ChromaSampling::k422, 31},
      {"YUY2", PixelFormat::kYuy2, false, 98, 51, ChromaSampling::k420, 38},
      {"YV12", PixelFormat::kYv12, false, 96, 64, ChromaSampling::k420, 45},
      {"I420", PixelFormat::kI420, false, 96, 64, ChromaSampling::k422, 45},
      {"YV12 of odd size", PixelFormat::kYv12, false, 97, 63, ChromaSampling::k420, 45},
      {"I420 of odd size", PixelFormat::kI420, false, 97, 63, ChromaSampling::k422, 45},
  };
  ClipFolder folder;
  for (const PictureCase& c : cases) {
    std::string source, decodeAs, expected;
    MakePicture(c, source, decodeAs, expected);
    MjpegCodec codec({90, c.sampling});
    SourcePicture picture{
        c.format,     c.width, c.height, c.topDown, reinterpret_cast<const uint8_t*>(source.data()),
        source.size()};
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(codec.Compress(picture, jpeg)) << c.name;
    const std::string file = folder.MakeFile("picture.jpg", std::string(jpeg.begin(), jpeg.end()));
    const std::string decoded = Decode(folder, file, "-f rawvideo -pix_fmt " + decodeAs);
    ASSERT_EQ(decoded.size(), expected.size()) << c.name;
    EXPECT_GT(Psnr(decoded, expected), c.minimumPsnr) << c.name;
  }
}

// Noise is the most a picture can cost: it must stay within the stated bound.
// Grey, so that the halved chroma loses nothing.
TEST(JpegEncoder, NoiseAtQuality100StaysWithinTheBoundAndDecodes) {
  const int w = 80, h = 40;
  std::string noise;
  TestNoise grey(12345);
  for (int i = 0; i < w * h; ++i) noise.append(3, static_cast<char>(grey.NextByte()));
  for (ChromaSampling sampling : {ChromaSampling::k420, ChromaSampling::k422}) {
    MjpegCodec codec({100, sampling});
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(codec.Compress({PixelFormat::kRgb24, w, h, true,
                                reinterpret_cast<const uint8_t*>(noise.data()), noise.size()},
                               jpeg));
    EXPECT_LE(jpeg.size(), MjpegCodec::MaxFrameSize(w, h));
    ClipFolder folder;
    const std::string file = folder.MakeFile("noise.jpg", std::string(jpeg.begin(), jpeg.end()));
    EXPECT_GT(Psnr(Decode(folder, file, "-f rawvideo -pix_fmt bgr24"), noise), 30.0);
  }
}

// A WAV file of IMA ADPCM blocks, as ffmpeg reads them.
std::string ImaWav(const ImaAdpcmFormat& format, const std::vector<uint8_t>& blocks) {
  std::string out = "RIFF....WAVEfmt ";
  auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  };
  put(20, 4);
  put(0x11, 2);  // WAVE_FORMAT_IMA_ADPCM
  put(format.channels, 2);
  put(format.sampleRate, 4);
  put(format.bytesPerSecond, 4);
  put(format.blockAlign, 2);
  put(4, 2);
  put(2, 2);
  put(format.samplesPerBlock, 2);
  out += "data";
  put(static_cast<uint32_t>(blocks.size()), 4);
  out.append(blocks.begin(), blocks.end());
  const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
  memcpy(&out[4], &riff, 4);
  return out;
}

// A tone per channel; and the loudest sound there is, a full-scale square at
// half the sample rate, which holds the step index at its top (88, where the
// decoders' table ends) from the second block on.
TEST(ImaAdpcmEncoder, DecodesCloseToTheSourceInBlocks) {
  ClipFolder folder;
  const struct {
    int channels;
    bool loudest;
    double leastDb;
  } cases[] = {{1, false, 25}, {2, false, 25}, {1, true, 20}};
  for (const auto& [channels, loudest, leastDb] : cases) {
    ImaAdpcmFormat format;
    ASSERT_TRUE(ChooseImaAdpcmFormat(channels == 1 ? 22050 : 44100, channels, format));
    // 1.3 s: the last block is partial. Each channel its own tone.
    const size_t frames = static_cast<size_t>(format.sampleRate) * 13 / 10;
    std::vector<int16_t> pcm;
    for (size_t i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c)
        pcm.push_back(static_cast<int16_t>(
            loudest ? (i % 2 ? 32767 : -32768)
                    : 12000 * std::sin(2 * 3.14159265 * (c ? 1000 : 440) * i / format.sampleRate)));
    ImaAdpcmEncoder encoder(format);
    std::vector<uint8_t> blocks;
    const auto* bytes = reinterpret_cast<const uint8_t*>(pcm.data());
    for (size_t at = 0; at < pcm.size() * 2; at += 777)  // pieces that split samples
      encoder.Push(bytes + at, std::min<size_t>(777, pcm.size() * 2 - at), blocks);
    encoder.Finish(blocks);
    ASSERT_EQ(blocks.size() % format.blockAlign, 0u);
    for (size_t at = format.blockAlign; loudest && at < blocks.size(); at += format.blockAlign)
      EXPECT_EQ(blocks[at + 2], 88) << "the step index of block " << at / format.blockAlign;

    const std::string wav = folder.MakeFile("sound.wav", ImaWav(format, blocks));
    const std::string decoded = Decode(folder, wav, "-f s16le");
    const size_t decodedFrames = decoded.size() / 2 / channels;
    EXPECT_GE(decodedFrames, frames) << channels;
    EXPECT_LT(decodedFrames, frames + format.samplesPerBlock) << "one block of silence at most";
    double signal = 0, noise = 0;
    for (size_t i = 0; i < pcm.size() && 2 * i + 1 < decoded.size(); ++i) {
      const int16_t out = static_cast<int16_t>(static_cast<uint8_t>(decoded[2 * i]) |
                                               static_cast<uint8_t>(decoded[2 * i + 1]) << 8);
      const double in = pcm[i];
      signal += in * in;
      noise += (in - out) * (in - out);
    }
    EXPECT_GT(10 * std::log10(signal / noise), leastDb) << channels << " channels, in dB";
  }
}

}  // namespace
