#include "standins/mux/StreamTypes.h"

#include <windows.h>
#include <dshow.h>
#include <dvdmedia.h>
#include <mmreg.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>

#include "standins/base/MediaType.h"

namespace {

// {XXXXXXXX-0000-0010-8000-00AA00389B71}: the subtypes made of a fourcc or a wave format tag.
bool IsBaseGuidOf(const GUID& guid, uint32_t first) {
  static const GUID kBase = {0, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
  return guid.Data1 == first && guid.Data2 == kBase.Data2 && guid.Data3 == kBase.Data3 &&
         memcmp(guid.Data4, kBase.Data4, sizeof kBase.Data4) == 0;
}

bool RgbSubtypeMatches(const GUID& subtype, WORD bits) {
  return (subtype == MEDIASUBTYPE_RGB24 && bits == 24) ||
         (subtype == MEDIASUBTYPE_RGB32 && bits == 32);
}

std::vector<uint8_t> Bytes(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

// VIDEOINFOHEADER2's picture aspect ratio, in lowest terms; none where a term
// does not fit the 16 bits that AVI keeps of it.
void TakeAspectRatio(const standin::MediaType& mt, StreamInfo& info) {
  if (mt->formattype != FORMAT_VideoInfo2 || mt->cbFormat < sizeof(VIDEOINFOHEADER2)) return;
  const auto* format = reinterpret_cast<const VIDEOINFOHEADER2*>(mt->pbFormat);
  if (format->dwPictAspectRatioX == 0 || format->dwPictAspectRatioY == 0) return;
  const DWORD divisor = std::gcd(format->dwPictAspectRatioX, format->dwPictAspectRatioY);
  const DWORD x = format->dwPictAspectRatioX / divisor, y = format->dwPictAspectRatioY / divisor;
  if (x > 0xFFFF || y > 0xFFFF) return;
  info.aspectX = x;
  info.aspectY = y;
}

bool DescribeVideo(const standin::MediaType& mt, StreamInfo& info) {
  const BITMAPINFOHEADER* header = mt.VideoHeader();
  if (!header || header->biWidth <= 0 || header->biHeight <= 0 || header->biWidth > 0xFFFF ||
      header->biHeight > 0xFFFF)
    return false;
  const bool rgb = header->biCompression == BI_RGB;
  if (rgb ? !RgbSubtypeMatches(mt->subtype, header->biBitCount)
          : !IsBaseGuidOf(mt->subtype, header->biCompression))
    return false;
  // The header with what follows it (codec data), as far as the format block holds it.
  const size_t available = mt->cbFormat - (reinterpret_cast<const BYTE*>(header) - mt->pbFormat);
  const size_t size = header->biSize > sizeof *header ? header->biSize : sizeof *header;
  info.kind = StreamInfo::Kind::kVideo;
  info.handler = rgb ? 0 : header->biCompression;
  info.compressed = !rgb;
  info.frameDuration = mt.FrameTime();
  info.width = header->biWidth;
  info.height = header->biHeight;
  info.format = Bytes(header, size < available ? size : available);
  TakeAspectRatio(mt, info);
  const std::optional<PixelFormat> raw =
      UncompressedFormat(header->biCompression, header->biBitCount);
  if (raw) info.declared = DeclaredLayout(*raw, header->biWidth, header->biHeight, header->biWidth);
  if (raw && !info.declared) return false;
  if (info.declared) {
    // The file says how large its packed pictures are, not upstream's samples.
    BITMAPINFOHEADER written = *header;
    written.biSizeImage = static_cast<DWORD>(PackedLayout(*info.declared).Bytes());
    memcpy(info.format.data(), &written, std::min(sizeof written, info.format.size()));
  }
  return true;
}

bool IsIntegerPcm(const standin::MediaType& mt, const WAVEFORMATEX& wave) {
  if (wave.wFormatTag == WAVE_FORMAT_PCM) return true;
  if (wave.wFormatTag != WAVE_FORMAT_EXTENSIBLE || mt->cbFormat < sizeof(WAVEFORMATEXTENSIBLE))
    return false;
  const auto& extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(wave);
  return IsBaseGuidOf(extensible.SubFormat, WAVE_FORMAT_PCM);
}

bool DescribeAudio(const standin::MediaType& mt, StreamInfo& info) {
  const WAVEFORMATEX* wave = mt.WaveFormat();
  if (!wave || wave->nChannels == 0 || wave->nSamplesPerSec == 0 || wave->nBlockAlign == 0 ||
      wave->nAvgBytesPerSec == 0)
    return false;
  const bool pcm = IsIntegerPcm(mt, *wave);
  if (!pcm &&
      (wave->wFormatTag == WAVE_FORMAT_IEEE_FLOAT || wave->wFormatTag == WAVE_FORMAT_EXTENSIBLE))
    return false;
  const size_t size = sizeof *wave + wave->cbSize;
  info.kind = StreamInfo::Kind::kAudio;
  info.blockAlign = wave->nBlockAlign;
  info.bytesPerSecond = wave->nAvgBytesPerSec;
  info.pcm = pcm;
  info.sampleRate = wave->nSamplesPerSec;
  info.channels = wave->nChannels;
  info.bitsPerSample = wave->wBitsPerSample;
  info.format = Bytes(wave, size < mt->cbFormat ? size : mt->cbFormat);
  return true;
}

}  // namespace

bool DescribeStream(const standin::MediaType& mt, StreamInfo& info) {
  if (mt->majortype == MEDIATYPE_Video) return DescribeVideo(mt, info);
  if (mt->majortype == MEDIATYPE_Audio) return DescribeAudio(mt, info);
  return false;
}
