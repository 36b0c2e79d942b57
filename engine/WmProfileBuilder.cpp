#include "engine/WmProfileBuilder.h"

#include <wrl/client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/Str.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kProfileName[] = L"Custom Profile";
constexpr WORD kAudioStreamNumber = 1;
constexpr WORD kFirstVideoStreamNumber = 2;
constexpr WORD kMaxVideoStreams = 63;
constexpr LONGLONG kUnitsPerSecond = 10000000;  // 100 ns units
constexpr LONGLONG kBitrateTolerance = 250;     // bits per second, exclusive
constexpr size_t kProfileTextChars = 260;

static_assert(sizeof(WAVEFORMATEX) == 18, "the wave format's fixed part is 18 bytes");

// A media type as the runtime hands it out: the structure and its format
// block in one buffer of the size the runtime asked for.
class MediaTypeBuffer {
 public:
  HRESULT Read(IWMMediaProps* props);
  WM_MEDIA_TYPE& Type() { return *reinterpret_cast<WM_MEDIA_TYPE*>(m_data.get()); }
  // The format block when it lies inside the buffer and holds at least size
  // bytes, else nullptr.
  BYTE* Format(size_t size);

 private:
  std::unique_ptr<BYTE[]> m_data;
  DWORD m_size = 0;
};

HRESULT MediaTypeBuffer::Read(IWMMediaProps* props) {
  DWORD size = 0;
  HRESULT hr = props->GetMediaType(nullptr, &size);
  if (FAILED(hr)) return hr;
  if (size < sizeof(WM_MEDIA_TYPE)) return E_FAIL;
  m_data.reset(new (std::nothrow) BYTE[size]());
  if (!m_data) return E_OUTOFMEMORY;
  m_size = size;
  return props->GetMediaType(&Type(), &size);
}

BYTE* MediaTypeBuffer::Format(size_t size) {
  const WM_MEDIA_TYPE& type = Type();
  const uintptr_t begin = reinterpret_cast<uintptr_t>(m_data.get());
  const uintptr_t block = reinterpret_cast<uintptr_t>(type.pbFormat);
  if (!type.pbFormat || type.cbFormat < size) return nullptr;
  if (block < begin || block - begin > m_size) return nullptr;
  if (type.cbFormat > m_size - (block - begin)) return nullptr;
  return type.pbFormat;
}

// The wave format that AddAudioStream holds while it walks the codec formats.
class HeldWaveFormat {
 public:
  const WAVEFORMATEX* Get() const { return reinterpret_cast<const WAVEFORMATEX*>(m_bytes.get()); }
  BYTE* Bytes() const { return m_bytes.get(); }
  ULONG Size() const { return m_size; }
  HRESULT Assign(const BYTE* bytes, ULONG size);

 private:
  std::unique_ptr<BYTE[]> m_bytes;
  ULONG m_size = 0;
};

HRESULT HeldWaveFormat::Assign(const BYTE* bytes, ULONG size) {
  std::unique_ptr<BYTE[]> copy(new (std::nothrow) BYTE[size]);
  if (!copy) return E_OUTOFMEMORY;
  std::memcpy(copy.get(), bytes, size);
  m_bytes = std::move(copy);
  m_size = size;
  return S_OK;
}

struct AudioWish {
  DWORD formatTag;
  DWORD bitrate;
  DWORD sampleRate;
  DWORD channels;
  bool videoPresent;
};

bool IsCandidate(const WAVEFORMATEX& wave, const AudioWish& wish) {
  const LONGLONG difference = 8 * static_cast<LONGLONG>(wave.nAvgBytesPerSec) - wish.bitrate;
  return difference > -kBitrateTolerance && difference < kBitrateTolerance &&
         wave.nSamplesPerSec == wish.sampleRate && wave.nChannels == wish.channels &&
         wave.wFormatTag == wish.formatTag;
}

// With video the smallest block alignment wins, without it the largest; a
// later equal one replaces the held one.
bool Replaces(const WAVEFORMATEX& candidate, const WAVEFORMATEX& held, bool videoPresent) {
  return videoPresent ? candidate.nBlockAlign <= held.nBlockAlign
                      : candidate.nBlockAlign >= held.nBlockAlign;
}

// Calls visit(format) for every format of every codec of a major type, in
// index order, until visit answers anything but S_OK. S_FALSE from visit
// stops the walk with success.
template <typename Visit>
HRESULT WalkCodecFormats(IWMCodecInfo* codecs, REFGUID majorType, DWORD codecCount, Visit visit) {
  for (DWORD codec = 0; codec < codecCount; ++codec) {
    DWORD formatCount = 0;
    HRESULT hr = codecs->GetCodecFormatCount(majorType, codec, &formatCount);
    if (FAILED(hr)) return hr;
    for (DWORD index = 0; index < formatCount; ++index) {
      ComPtr<IWMStreamConfig> format;
      hr = codecs->GetCodecFormat(majorType, codec, index, &format);
      if (FAILED(hr)) return hr;
      hr = visit(format.Get());
      if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    }
  }
  return S_OK;
}

HRESULT CodecCount(IWMProfileManager* manager, REFGUID majorType, ComPtr<IWMCodecInfo>& codecs,
                   DWORD& count) {
  count = 0;
  HRESULT hr = manager->QueryInterface(IID_PPV_ARGS(&codecs));
  if (FAILED(hr)) return hr;
  return codecs->GetCodecInfoCount(majorType, &count);
}

// Takes the format into held when it is a better candidate. A format that is
// no wave format, or whose block is too small for one, is E_FAIL.
HRESULT ConsiderAudioFormat(IWMStreamConfig* format, const AudioWish& wish, HeldWaveFormat& held) {
  ComPtr<IWMMediaProps> props;
  HRESULT hr = format->QueryInterface(IID_PPV_ARGS(&props));
  if (FAILED(hr)) return hr;
  MediaTypeBuffer type;
  hr = type.Read(props.Get());
  if (FAILED(hr)) return hr;
  if (type.Type().formattype != WMFORMAT_WaveFormatEx) return E_FAIL;
  const BYTE* block = type.Format(sizeof(WAVEFORMATEX));
  if (!block) return E_FAIL;
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(block);
  const ULONG waveSize = sizeof(WAVEFORMATEX) + wave->cbSize;
  if (!type.Format(waveSize)) return E_FAIL;
  if (!IsCandidate(*wave, wish)) return S_OK;
  if (held.Get() && !Replaces(*wave, *held.Get(), wish.videoPresent)) return S_OK;
  return held.Assign(block, waveSize);
}

WM_MEDIA_TYPE AudioMediaType(const HeldWaveFormat& held) {
  WM_MEDIA_TYPE type = {};
  type.majortype = WMMEDIATYPE_Audio;
  type.subtype = WMMEDIASUBTYPE_Base;
  type.subtype.Data1 = held.Get()->wFormatTag;
  type.bFixedSizeSamples = TRUE;
  type.bTemporalCompression = FALSE;
  type.lSampleSize = held.Get()->nBlockAlign;
  type.formattype = WMFORMAT_WaveFormatEx;
  type.cbFormat = held.Size();
  type.pbFormat = held.Bytes();
  return type;
}

// The codec format that AddVideoStream takes, with its media type.
struct VideoFormat {
  ComPtr<IWMStreamConfig> config;
  ComPtr<IWMVideoMediaProps> props;
  MediaTypeBuffer type;
};

// S_FALSE when the format is taken into taken, S_OK to go on.
HRESULT ConsiderVideoFormat(IWMStreamConfig* format, DWORD fourcc, VideoFormat& taken) {
  ComPtr<IWMVideoMediaProps> props;
  HRESULT hr = format->QueryInterface(IID_PPV_ARGS(&props));
  if (FAILED(hr)) return hr;
  MediaTypeBuffer type;
  hr = type.Read(props.Get());
  if (FAILED(hr)) return hr;
  if (type.Type().formattype != WMFORMAT_VideoInfo) return S_OK;
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.Format(sizeof(VIDEOINFOHEADER)));
  if (!info) return E_FAIL;
  if (info->bmiHeader.biCompression != fourcc) return S_OK;
  taken.config = format;
  taken.props = std::move(props);
  taken.type = std::move(type);
  return S_FALSE;
}

void ApplyPicture(VIDEOINFOHEADER& info, const VideoStreamSpec& video) {
  info.rcSource.right = video.width;
  info.rcSource.bottom = video.height;
  info.rcTarget.right = video.width;
  info.rcTarget.bottom = video.height;
  info.dwBitRate = video.bitrate;
  info.AvgTimePerFrame = kUnitsPerSecond / video.framesPerSecond;
  info.bmiHeader.biWidth = video.width;
  info.bmiHeader.biHeight = video.height;
}

bool ValidArguments(const AudioStreamSpec* audio, WORD videoCount, const VideoStreamSpec* videos,
                    IWMProfile** profile) {
  if (!audio || !profile || videoCount > kMaxVideoStreams) return false;
  if (videoCount > 0 && !videos) return false;
  // A frame time needs at least one frame per second.
  for (WORD i = 0; i < videoCount; ++i)
    if (videos[i].framesPerSecond < 1) return false;
  return true;
}

}  // namespace

HRESULT GenerateProfile(const AudioStreamSpec* audio, const DWORD* scriptBitrate, WORD videoCount,
                        const VideoStreamSpec* videos, IWMProfile** profile, WMT_VERSION version,
                        const ProfileManagerFactory& createManager) {
  if (profile) *profile = nullptr;
  if (!ValidArguments(audio, videoCount, videos, profile)) return E_INVALIDARG;

  ComPtr<IWMProfileManager> manager;
  HRESULT hr = createManager(&manager);
  if (FAILED(hr)) return hr;
  ComPtr<IWMProfile> newProfile;
  hr = manager->CreateEmptyProfile(version, &newProfile);
  if (FAILED(hr)) return hr;
  hr = newProfile->SetName(kProfileName);
  if (FAILED(hr)) return hr;

  hr = AddAudioStream(manager.Get(), newProfile.Get(), audio->formatTag, audio->bitrate,
                      audio->sampleRate, audio->channels, videoCount > 0);
  if (FAILED(hr)) return hr;
  for (WORD i = 0; i < videoCount; ++i) {
    hr = AddVideoStream(manager.Get(), newProfile.Get(), kFirstVideoStreamNumber + i, videos[i]);
    if (FAILED(hr)) return hr;
  }
  if (videoCount > 1) {
    hr = AddBitrateExclusion(newProfile.Get(), videoCount);
    if (FAILED(hr)) return hr;
  }
  if (scriptBitrate) {
    hr = AddScriptStream(newProfile.Get(), kFirstVideoStreamNumber + videoCount, *scriptBitrate);
    if (FAILED(hr)) return hr;
  }
  *profile = newProfile.Detach();
  return S_OK;
}

HRESULT MapProfile(const char* profileText, IWMProfile** profile,
                   const ProfileManagerFactory& createManager) {
  if (!profile) return E_POINTER;
  *profile = nullptr;
  if (!profileText) return E_INVALIDARG;
  ComPtr<IWMProfileManager> manager;
  HRESULT hr = createManager(&manager);
  if (FAILED(hr)) {
    std::printf("MapProfile: Failed to create profile manager!  hr=0x%x\n",
                static_cast<unsigned>(hr));
    std::fflush(stdout);
    return hr;
  }
  wchar_t text[kProfileTextChars];
  str::ToWide(profileText, text, kProfileTextChars);
  return manager->LoadProfileByData(text, profile);
}

HRESULT AddAudioStream(IWMProfileManager* manager, IWMProfile* profile, DWORD formatTag,
                       DWORD bitrate, DWORD sampleRate, DWORD channels, bool videoPresent) {
  if (!manager || !profile) return E_POINTER;
  ComPtr<IWMCodecInfo> codecs;
  DWORD codecCount = 0;
  HRESULT hr = CodecCount(manager, WMMEDIATYPE_Audio, codecs, codecCount);
  if (FAILED(hr)) return hr;
  if (codecCount == 0) return NS_E_AUDIO_CODEC_NOT_INSTALLED;

  const AudioWish wish = {formatTag, bitrate, sampleRate, channels, videoPresent};
  HeldWaveFormat held;
  hr = WalkCodecFormats(codecs.Get(), WMMEDIATYPE_Audio, codecCount, [&](IWMStreamConfig* format) {
    return ConsiderAudioFormat(format, wish, held);
  });
  if (FAILED(hr)) return hr;
  if (!held.Get()) return NS_E_AUDIO_CODEC_NOT_INSTALLED;

  WM_MEDIA_TYPE type = AudioMediaType(held);
  ComPtr<IWMStreamConfig> stream;
  hr = profile->CreateNewStream(WMMEDIATYPE_Audio, &stream);
  if (FAILED(hr)) return hr;
  hr = ConfigureStreamCommon(stream.Get(), kAudioStreamNumber, L"Audio Stream", L"Audio",
                             8 * held.Get()->nAvgBytesPerSec, &type);
  if (FAILED(hr)) return hr;
  return profile->AddStream(stream.Get());
}

HRESULT AddVideoStream(IWMProfileManager* manager, IWMProfile* profile, WORD streamNumber,
                       const VideoStreamSpec& video) {
  if (!manager || !profile) return E_POINTER;
  if (video.framesPerSecond < 1) return E_INVALIDARG;
  ComPtr<IWMCodecInfo> codecs;
  DWORD codecCount = 0;
  HRESULT hr = CodecCount(manager, WMMEDIATYPE_Video, codecs, codecCount);
  if (FAILED(hr)) return hr;
  if (codecCount == 0) return NS_E_VIDEO_CODEC_NOT_INSTALLED;

  VideoFormat taken;
  hr = WalkCodecFormats(codecs.Get(), WMMEDIATYPE_Video, codecCount, [&](IWMStreamConfig* format) {
    return ConsiderVideoFormat(format, video.fourcc, taken);
  });
  if (FAILED(hr)) return hr;
  if (!taken.config) return NS_E_VIDEO_CODEC_NOT_INSTALLED;

  ApplyPicture(*reinterpret_cast<VIDEOINFOHEADER*>(taken.type.Type().pbFormat), video);
  hr = taken.props->SetQuality(video.quality);
  if (FAILED(hr)) return hr;
  hr = taken.props->SetMaxKeyFrameSpacing(video.secondsPerKeyFrame * kUnitsPerSecond);
  if (FAILED(hr)) return hr;
  hr = ConfigureStreamCommon(taken.config.Get(), streamNumber, L"Video Stream", L"Video",
                             video.bitrate, &taken.type.Type());
  if (FAILED(hr)) return hr;
  return profile->AddStream(taken.config.Get());
}

HRESULT AddBitrateExclusion(IWMProfile* profile, WORD videoCount) {
  if (!profile) return E_POINTER;
  ComPtr<IWMMutualExclusion> exclusion;
  HRESULT hr = profile->CreateNewMutualExclusion(&exclusion);
  if (FAILED(hr)) return hr;
  hr = exclusion->SetType(CLSID_WMMUTEX_Bitrate);
  if (FAILED(hr)) return hr;
  for (WORD i = 0; i < videoCount; ++i) {
    hr = exclusion->AddStream(kFirstVideoStreamNumber + i);
    if (FAILED(hr)) return hr;
  }
  return profile->AddMutualExclusion(exclusion.Get());
}

HRESULT AddScriptStream(IWMProfile* profile, WORD streamNumber, DWORD bitrate) {
  if (!profile) return E_POINTER;
  GUID scriptType = WMSCRIPTTYPE_TwoStrings;
  WM_MEDIA_TYPE type = {};
  type.majortype = WMMEDIATYPE_Script;
  type.formattype = WMFORMAT_Script;
  type.cbFormat = sizeof scriptType;
  type.pbFormat = reinterpret_cast<BYTE*>(&scriptType);

  ComPtr<IWMStreamConfig> stream;
  HRESULT hr = profile->CreateNewStream(WMMEDIATYPE_Script, &stream);
  if (FAILED(hr)) return hr;
  hr = ConfigureStreamCommon(stream.Get(), streamNumber, L"Script Stream", L"Script", bitrate,
                             &type);
  if (FAILED(hr)) return hr;
  return profile->AddStream(stream.Get());
}

HRESULT ConfigureStreamCommon(IWMStreamConfig* stream, WORD streamNumber, const wchar_t* streamName,
                              const wchar_t* connectionName, DWORD bitrate,
                              WM_MEDIA_TYPE* mediaType) {
  if (!stream) return E_POINTER;
  HRESULT hr = stream->SetStreamNumber(streamNumber);
  if (FAILED(hr)) return hr;
  // Some SDK headers declare these names without const; the runtime only reads them.
  hr = stream->SetStreamName(const_cast<wchar_t*>(streamName));
  if (FAILED(hr)) return hr;
  hr = stream->SetConnectionName(const_cast<wchar_t*>(connectionName));
  if (FAILED(hr)) return hr;
  hr = stream->SetBitrate(bitrate);
  if (FAILED(hr)) return hr;
  ComPtr<IWMMediaProps> props;
  hr = stream->QueryInterface(IID_PPV_ARGS(&props));
  if (FAILED(hr)) return hr;
  return props->SetMediaType(mediaType);
}
