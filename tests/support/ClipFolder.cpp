#include "support/ClipFolder.h"

#include <windows.h>
#include <mmreg.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "support/FileContents.h"
#include "support/LinuxCommand.h"

namespace {

constexpr int kSampleRate = 22050;  // samples per second, mono, 16 bit

WAVEFORMATEX PcmFormat() {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = kSampleRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = kSampleRate * 2;
  return format;
}

// A tone, so that the audio is not silence.
std::vector<int16_t> Tone(int samples, int firstSample) {
  std::vector<int16_t> out(static_cast<size_t>(samples));
  for (int i = 0; i < samples; ++i) out[i] = ((firstSample + i) / 25 % 2) ? 8000 : -8000;
  return out;
}

// A frame whose picture changes from frame to frame (bottom-up BGR rows).
std::vector<BYTE> Frame(int width, int height, int index) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<BYTE> out(static_cast<size_t>(stride) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      BYTE* p = &out[static_cast<size_t>(y) * stride + x * 3];
      p[0] = static_cast<BYTE>(x + index * 4);
      p[1] = static_cast<BYTE>(y);
      p[2] = static_cast<BYTE>(index * 5);
    }
  }
  return out;
}

bool AddVideoStream(PAVIFILE file, const ClipShape& shape, PAVISTREAM& stream) {
  AVISTREAMINFOA info = {};
  info.fccType = streamtypeVIDEO;
  info.dwScale = 1;
  info.dwRate = static_cast<DWORD>(shape.framesPerSecond);
  info.dwSuggestedBufferSize = static_cast<DWORD>(Frame(shape.width, shape.height, 0).size());
  SetRect(&info.rcFrame, 0, 0, shape.width, shape.height);
  if (AVIFileCreateStreamA(file, &stream, &info) != AVIERR_OK) return false;
  BITMAPINFOHEADER format = {sizeof format};
  format.biWidth = shape.width;
  format.biHeight = shape.height;
  format.biPlanes = 1;
  format.biBitCount = 24;
  format.biCompression = BI_RGB;
  format.biSizeImage = info.dwSuggestedBufferSize;
  return AVIStreamSetFormat(stream, 0, &format, sizeof format) == AVIERR_OK;
}

bool AddAudioStream(PAVIFILE file, PAVISTREAM& stream) {
  WAVEFORMATEX format = PcmFormat();
  AVISTREAMINFOA info = {};
  info.fccType = streamtypeAUDIO;
  info.dwScale = format.nBlockAlign;
  info.dwRate = format.nAvgBytesPerSec;
  info.dwSampleSize = format.nBlockAlign;
  info.dwSuggestedBufferSize = format.nAvgBytesPerSec;
  if (AVIFileCreateStreamA(file, &stream, &info) != AVIERR_OK) return false;
  return AVIStreamSetFormat(stream, 0, &format, sizeof format) == AVIERR_OK;
}

// Video and audio interleaved frame by frame.
bool WriteClip(PAVISTREAM video, PAVISTREAM audio, const ClipShape& shape) {
  const int samplesPerFrame = kSampleRate / shape.framesPerSecond;
  for (int i = 0; i < shape.frames; ++i) {
    std::vector<BYTE> frame = Frame(shape.width, shape.height, i);
    if (AVIStreamWrite(video, i, 1, frame.data(), static_cast<LONG>(frame.size()), AVIIF_KEYFRAME,
                       nullptr, nullptr) != AVIERR_OK)
      return false;
    if (!audio) continue;
    std::vector<int16_t> samples = Tone(samplesPerFrame, i * samplesPerFrame);
    // -1 appends; Wine refuses an explicit start after the first block.
    if (AVIStreamWrite(audio, -1, samplesPerFrame, samples.data(), samplesPerFrame * 2, 0, nullptr,
                       nullptr) != AVIERR_OK)
      return false;
  }
  return true;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = size == 0 || ::WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
  return ok && written == size;
}

template <class T>
void Put(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

std::string ClipFolder::MakeAvi(const std::string& name, const ClipShape& shape) const {
  const std::string path = PathOf(name);
  AVIFileInit();
  PAVIFILE file = nullptr;
  PAVISTREAM video = nullptr;
  PAVISTREAM audio = nullptr;
  bool ok = AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr) == AVIERR_OK &&
            AddVideoStream(file, shape, video) &&
            (!shape.withAudio || AddAudioStream(file, audio)) && WriteClip(video, audio, shape);
  if (audio) AVIStreamRelease(audio);
  if (video) AVIStreamRelease(video);
  if (file) AVIFileRelease(file);
  AVIFileExit();
  return ok ? path : std::string();
}

std::string ClipFolder::MakeWav(const std::string& name, int seconds) const {
  const WAVEFORMATEX format = PcmFormat();
  const std::vector<int16_t> samples = Tone(kSampleRate * seconds, 0);
  const uint32_t dataSize = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
  std::string out = "RIFF";
  Put<uint32_t>(out, 4 + 8 + 16 + 8 + dataSize);
  out += "WAVEfmt ";
  Put<uint32_t>(out, 16);
  out.append(reinterpret_cast<const char*>(&format), 16);  // PCM: no cbSize
  out += "data";
  Put<uint32_t>(out, dataSize);
  out.append(reinterpret_cast<const char*>(samples.data()), dataSize);
  return MakeFile(name, out);
}

std::string ClipFolder::MakeMp4(const std::string& name, const ClipShape& shape) const {
  return MakeClip(name, shape, "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac");
}

std::string ClipFolder::MakeClip(const std::string& name, const ClipShape& shape,
                                 const std::string& codecs) const {
  const std::string path = PathOf(name);
  const std::string seconds = std::to_string(shape.frames / shape.framesPerSecond);
  const std::string rate = shape.rate ? shape.rate : std::to_string(shape.framesPerSecond);
  const std::string soundSeconds =
      shape.soundLength > 0 ? std::to_string(shape.soundLength) : seconds;
  // Filter expressions, quoted for ffmpeg's filter graph parser.
  const std::string marks = std::to_string(1 + shape.soundHole);
  const std::string flash = ",drawbox=color=white:t=fill:enable='gte(t\\," + marks + ")*lt(t\\," +
                            marks + "+0.5/(" + rate + "))'";
  const std::string beep = "aevalsrc=0.8*sin(2*PI*1000*t)*between(t\\," + marks + "\\," + marks +
                           "+0.04):s=44100:d=" + soundSeconds;
  std::string command = "ffmpeg -v error -y";
  if (shape.soundDelay < 0) command += " -itsoffset " + std::to_string(-shape.soundDelay);
  command += " -f lavfi -i " + ShellQuote("testsrc=size=" + std::to_string(shape.width) + "x" +
                                          std::to_string(shape.height) + ":rate=" + rate +
                                          ":duration=" + seconds + (shape.syncMarks ? flash : ""));
  if (shape.withAudio) {
    if (shape.soundDelay > 0) command += " -itsoffset " + std::to_string(shape.soundDelay);
    const std::string sine = "sine=frequency=440:sample_rate=44100:duration=" + soundSeconds;
    command += " -f lavfi -i " + ShellQuote(shape.syncMarks ? beep : sine);
  }
  if (shape.withAudio && shape.secondSoundTrack) {
    const std::string other = "sine=frequency=880:sample_rate=44100:duration=" + soundSeconds;
    command += " -f lavfi -i " + ShellQuote(shape.syncMarks ? beep : other) +
               " -map 0:v -map 1:a -map 2:a -metadata:s:a:0 language=jpn"
               " -metadata:s:a:1 language=eng";
  }
  if (shape.startTime > 0) command += " -output_ts_offset " + std::to_string(shape.startTime);
  if (shape.variableRate)
    command += " -vf " + ShellQuote("select=lt(t\\,1)+not(mod(n\\,3))") + " -fps_mode vfr";
  if (shape.soundHole > 0)
    command += " -af " + ShellQuote("aselect=not(between(t\\,0.5\\," +
                                    std::to_string(0.5 + shape.soundHole) + "))");
  command += " " + codecs + " " + ShellQuote(UnixPath(path));
  const LinuxCommandResult made = RunLinuxCommand(command);
  if (!made.finished || made.exitCode != 0) return std::string();
  return shape.declaredRate ? DeclareRate(path, shape.declaredRate) : path;
}

// The Matroska clip at path, its video track's DefaultDuration (4 bytes, as
// ffmpeg writes it) made to say perSecond frames a second.
std::string ClipFolder::DeclareRate(const std::string& path, int perSecond) const {
  std::string bytes = ReadFile(path);
  const size_t at = bytes.find("\x23\xE3\x83\x84");
  if (at == std::string::npos) return std::string();
  const uint32_t nanoseconds = 1000000000u / static_cast<uint32_t>(perSecond);
  for (int i = 0; i < 4; ++i) bytes[at + 4 + i] = static_cast<char>(nanoseconds >> (24 - 8 * i));
  return WriteWholeFile(path, bytes.data(), bytes.size()) ? path : std::string();
}

std::string ClipFolder::MakeFile(const std::string& name, const std::string& content) const {
  const std::string path = PathOf(name);
  return WriteWholeFile(path, content.data(), content.size()) ? path : std::string();
}

std::string ClipFolder::MakeFolder(const std::string& name) const {
  const std::string path = PathOf(name);
  return CreateDirectoryA(path.c_str(), nullptr) ? path + "\\" : std::string();
}
