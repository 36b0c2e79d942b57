// The profile builder against a fake Windows Media runtime.

#include "engine/WmProfileBuilder.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeWmProfileManager.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr DWORD kWmv3 = MAKEFOURCC('W', 'M', 'V', '3');
constexpr DWORD kWmv2 = MAKEFOURCC('W', 'M', 'V', '2');
constexpr WORD kWma = 0x0161;
constexpr DWORD kScriptBitrate = 1000;

// One fake runtime with its codecs, and the profile that GenerateProfile
// hands back.
struct FakeRuntime {
  FakeWmCallLog log;
  FakeWmProfile profile{"profile", log};
  FakeWmProfileManager manager{log, &profile};
  std::deque<FakeWmStreamConfig> formats;  // addresses stay put
  ComPtr<IWMProfile> result;

  AudioStreamSpec audio = {
      .bitrate = 128000, .formatTag = kWma, .sampleRate = 44100, .channels = 2};
  std::vector<VideoStreamSpec> videos = {{.fourcc = kWmv3,
                                          .bitrate = 798720,
                                          .height = 480,
                                          .width = 640,
                                          .framesPerSecond = 25,
                                          .quality = 0,
                                          .secondsPerKeyFrame = 8}};

  FakeWmStreamConfig* Format(const std::string& name, FakeMediaType type) {
    return &formats.emplace_back(name, log, std::move(type));
  }
  FakeWmStreamConfig* Wma(const std::string& name, DWORD avgBytes, WORD blockAlign,
                          WORD extraBytes = 0) {
    return Format(name, FakeWaveFormat(kWma, 44100, 2, avgBytes, blockAlign, extraBytes));
  }
  // A machine with one audio codec format "wma" that matches 128,000 bits
  // per second and one video codec format "wmv3".
  void InstallUsualCodecs() {
    manager.audioCodecs.push_back({Wma("wma", 16000, 5945, 10)});
    manager.videoCodecs.push_back({Format("wmv3", FakeVideoFormat(kWmv3))});
  }
  HRESULT Generate(WORD videoCount, const DWORD* scriptBitrate = nullptr) {
    if (videos.size() < videoCount) videos.resize(videoCount, videos.front());
    return GenerateProfile(&audio, scriptBitrate, videoCount, videos.data(), &result, WMT_VER_9_0,
                           manager.Factory());
  }

  bool Logged(const std::string& entry) const {
    const auto& entries = log.Entries();
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
  }
  FakeWmStreamConfig* NewStream(const std::string& name) const {
    for (const auto& stream : profile.NewStreams())
      if (stream->Name() == name) return stream.get();
    return nullptr;
  }
  // The start of the format block set on stream; zeros where none was set.
  template <class Format>
  static Format FormatSetOn(const FakeWmStreamConfig* stream) {
    Format format = {};
    if (stream && stream->mediaType && stream->mediaType->format.size() >= sizeof format)
      std::memcpy(&format, stream->mediaType->format.data(), sizeof format);
    return format;
  }
  WAVEFORMATEX ChosenWave() const { return FormatSetOn<WAVEFORMATEX>(NewStream("newAudio")); }

  // Every fake is back at its starting count; only a handed-out profile
  // keeps the caller's one reference.
  void ExpectReferencesBack(const std::string& context) const {
    EXPECT_EQ(manager.RefCount(), 0u) << context;
    for (const FakeWmStreamConfig& format : formats)
      EXPECT_EQ(format.RefCount(), 0u) << context << ": " << format.Name();
    for (const auto& stream : profile.NewStreams())
      EXPECT_EQ(stream->RefCount(), 0u) << context << ": " << stream->Name();
    for (const auto& exclusion : profile.NewExclusions())
      EXPECT_EQ(exclusion->RefCount(), 0u) << context << ": exclusion";
    EXPECT_EQ(profile.RefCount(), result ? 1u : 0u) << context;
  }
};

std::string Hex(HRESULT hr) {
  char text[16] = "";
  snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

TEST(AddAudioStream, CandidatesAreWithin250BitsAndOfTheWantedRateChannelsAndTag) {
  struct Case {
    DWORD avgBytes;
    DWORD rate;
    WORD channels;
    WORD tag;
    HRESULT expected;
  };
  const Case cases[] = {
      {16000, 44100, 2, kWma, S_OK},                            // difference 0
      {16031, 44100, 2, kWma, S_OK},                            // +248
      {15969, 44100, 2, kWma, S_OK},                            // -248
      {16032, 44100, 2, kWma, NS_E_AUDIO_CODEC_NOT_INSTALLED},  // +256
      {15968, 44100, 2, kWma, NS_E_AUDIO_CODEC_NOT_INSTALLED},  // -256
      {16000, 48000, 2, kWma, NS_E_AUDIO_CODEC_NOT_INSTALLED},
      {16000, 44100, 1, kWma, NS_E_AUDIO_CODEC_NOT_INSTALLED},
      {16000, 44100, 2, 0x0162, NS_E_AUDIO_CODEC_NOT_INSTALLED},
  };
  for (const Case& c : cases) {
    const std::string context = std::to_string(c.avgBytes) + " bytes/s, " + std::to_string(c.rate) +
                                " Hz, " + std::to_string(c.channels) + " channels, tag " +
                                std::to_string(c.tag);
    FakeRuntime rt;
    rt.manager.audioCodecs.push_back(
        {rt.Format("wma", FakeWaveFormat(c.tag, c.rate, c.channels, c.avgBytes, 5945))});
    EXPECT_EQ(Hex(rt.Generate(0)), Hex(c.expected)) << context;
    if (c.expected == S_OK) {
      EXPECT_EQ(rt.NewStream("newAudio")->bitrate, 8 * c.avgBytes) << context;
    }
    rt.ExpectReferencesBack(context);
  }
}

TEST(AddAudioStream, TakesTheSmallestBlockAlignmentWithVideoTheLargestWithoutTheLastOfEquals) {
  struct Format {
    DWORD avgBytes;  // all within 250 bits per second of 128,000: they tell the formats apart
    WORD align;
  };
  struct Case {
    WORD videoCount;
    std::vector<std::vector<Format>> codecs;
    DWORD chosenBytes;
    WORD chosenAlign;
  };
  const std::vector<std::vector<Format>> equalAligns = {{{16000, 5945}, {16010, 5945}},
                                                        {{16020, 5945}}};
  const Case cases[] = {
      {1, {{{16000, 5945}}, {{16010, 2973}}}, 16010, 2973},
      {1, {{{16000, 2973}}, {{16010, 5945}}}, 16000, 2973},
      {0, {{{16000, 5945}}, {{16010, 2973}}}, 16000, 5945},
      {0, {{{16000, 2973}}, {{16010, 5945}}}, 16010, 5945},
      {0, equalAligns, 16020, 5945},
      {1, equalAligns, 16020, 5945},
  };
  for (const Case& c : cases) {
    const std::string context =
        std::to_string(c.videoCount) + " video, chosen " + std::to_string(c.chosenBytes);
    FakeRuntime rt;
    for (const auto& codec : c.codecs) {
      std::vector<FakeWmStreamConfig*> formats;
      for (const Format& f : codec)
        formats.push_back(rt.Wma("wma" + std::to_string(f.avgBytes), f.avgBytes, f.align));
      rt.manager.audioCodecs.push_back(formats);
    }
    rt.manager.videoCodecs.push_back({rt.Format("wmv3", FakeVideoFormat(kWmv3))});
    ASSERT_EQ(Hex(rt.Generate(c.videoCount)), Hex(S_OK)) << context;
    EXPECT_EQ(rt.ChosenWave().nAvgBytesPerSec, c.chosenBytes) << context;
    EXPECT_EQ(rt.ChosenWave().nBlockAlign, c.chosenAlign) << context;
    EXPECT_EQ(rt.NewStream("newAudio")->mediaType->sampleSize, c.chosenAlign) << context;
    EXPECT_EQ(rt.NewStream("newAudio")->bitrate, 8 * c.chosenBytes) << context;
    rt.ExpectReferencesBack(context);
  }
}

TEST(AddAudioStream, AFormatThatIsNoWaveFormatFailsTheWholeProfile) {
  for (bool nonWaveFirst : {true, false}) {
    FakeRuntime rt;
    FakeWmStreamConfig* matching = rt.Wma("wma", 16000, 5945);
    FakeWmStreamConfig* other = rt.Format("other", FakeVideoFormat(kWmv3));
    rt.manager.audioCodecs.push_back({nonWaveFirst ? other : matching});
    rt.manager.audioCodecs.push_back({nonWaveFirst ? matching : other});
    rt.manager.videoCodecs.push_back({rt.Format("wmv3", FakeVideoFormat(kWmv3))});
    EXPECT_EQ(Hex(rt.Generate(1)), Hex(E_FAIL)) << "non-wave first: " << nonWaveFirst;
    EXPECT_TRUE(rt.profile.addedStreams.empty());
    EXPECT_EQ(rt.result, nullptr);
    rt.ExpectReferencesBack(nonWaveFirst ? "non-wave first" : "non-wave last");
  }
}

TEST(GenerateProfile, MissingCodecsGiveTheNotInstalledCodes) {
  struct Case {
    const char* name;
    void (*install)(FakeRuntime&);
    HRESULT expected;
  };
  const Case cases[] = {
      {"no audio codec",
       [](FakeRuntime& rt) {
         rt.manager.videoCodecs.push_back({rt.Format("wmv3", FakeVideoFormat(kWmv3))});
       },
       NS_E_AUDIO_CODEC_NOT_INSTALLED},
      {"an audio codec without formats",
       [](FakeRuntime& rt) {
         rt.manager.audioCodecs.push_back({});
         rt.manager.videoCodecs.push_back({rt.Format("wmv3", FakeVideoFormat(kWmv3))});
       },
       NS_E_AUDIO_CODEC_NOT_INSTALLED},
      {"no video codec",
       [](FakeRuntime& rt) { rt.manager.audioCodecs.push_back({rt.Wma("wma", 16000, 5945)}); },
       NS_E_VIDEO_CODEC_NOT_INSTALLED},
      {"only WMV2",
       [](FakeRuntime& rt) {
         rt.manager.audioCodecs.push_back({rt.Wma("wma", 16000, 5945)});
         rt.manager.videoCodecs.push_back({rt.Format("wmv2", FakeVideoFormat(kWmv2))});
       },
       NS_E_VIDEO_CODEC_NOT_INSTALLED},
      {"WMV3 without a video-info format",
       [](FakeRuntime& rt) {
         rt.manager.audioCodecs.push_back({rt.Wma("wma", 16000, 5945)});
         FakeMediaType odd = FakeVideoFormat(kWmv3);
         odd.formattype = WMFORMAT_WaveFormatEx;
         rt.manager.videoCodecs.push_back({rt.Format("odd", odd)});
       },
       NS_E_VIDEO_CODEC_NOT_INSTALLED},
  };
  for (const Case& c : cases) {
    FakeRuntime rt;
    c.install(rt);
    EXPECT_EQ(Hex(rt.Generate(1)), Hex(c.expected)) << c.name;
    EXPECT_EQ(rt.result, nullptr) << c.name;
    rt.ExpectReferencesBack(c.name);
  }
}

TEST(AddVideoStream, TakesTheFirstFormatOfTheFourccAndStopsLooking) {
  FakeRuntime rt;
  rt.manager.audioCodecs.push_back({rt.Wma("wma", 16000, 5945)});
  FakeWmStreamConfig* wmv2 = rt.Format("wmv2", FakeVideoFormat(kWmv2));
  FakeWmStreamConfig* first = rt.Format("first", FakeVideoFormat(kWmv3));
  FakeWmStreamConfig* second = rt.Format("second", FakeVideoFormat(kWmv3));
  rt.manager.videoCodecs.push_back({wmv2, first});
  rt.manager.videoCodecs.push_back({second});
  ASSERT_EQ(Hex(rt.Generate(1)), Hex(S_OK));
  ASSERT_EQ(rt.profile.addedStreams.size(), 2u);
  EXPECT_EQ(rt.profile.addedStreams[1].Name(), "first");
  EXPECT_EQ(wmv2->streamNumber, 0);
  EXPECT_TRUE(rt.log.Of("second").empty());
  EXPECT_FALSE(rt.Logged("manager.GetCodecFormatCount(video 1)"));
  rt.ExpectReferencesBack("first WMV3");
}

TEST(GenerateProfile, VideoCountDecidesStreamsAndTheBitrateExclusion) {
  struct Case {
    WORD videoCount;
    size_t expectedStreams;
    std::vector<WORD> excluded;  // empty: no exclusion
  };
  std::vector<WORD> all63;
  for (WORD n = 2; n <= 64; ++n) all63.push_back(n);
  const Case cases[] = {
      {0, 1, {}},
      {1, 2, {}},
      {2, 3, {2, 3}},
      {63, 64, all63},
  };
  for (const Case& c : cases) {
    const std::string context = std::to_string(c.videoCount) + " video streams";
    FakeRuntime rt;
    rt.InstallUsualCodecs();
    ASSERT_EQ(Hex(rt.Generate(c.videoCount)), Hex(S_OK)) << context;
    ASSERT_EQ(rt.profile.addedStreams.size(), c.expectedStreams) << context;
    for (size_t i = 0; i < c.expectedStreams; ++i)
      EXPECT_EQ(rt.profile.addedStreams[i].streamNumber, i + 1) << context;
    if (c.excluded.empty()) {
      EXPECT_TRUE(rt.profile.NewExclusions().empty()) << context;
    } else {
      ASSERT_EQ(rt.profile.addedExclusions.size(), 1u) << context;
      EXPECT_EQ(rt.profile.addedExclusions[0]->type, CLSID_WMMUTEX_Bitrate) << context;
      EXPECT_EQ(rt.profile.addedExclusions[0]->streams, c.excluded) << context;
    }
    if (c.videoCount == 0) {
      EXPECT_TRUE(rt.log.Of("wmv3").empty());
      EXPECT_FALSE(rt.Logged("manager.GetCodecInfoCount(video)"));
    }
    rt.ExpectReferencesBack(context);
  }
}

TEST(GenerateProfile, RefusesBadArgumentsBeforeTouchingTheRuntime) {
  struct Case {
    const char* name;
    WORD videoCount;
    LONG framesPerSecond;
    bool videos, audio, result;
  };
  const Case cases[] = {
      {"64 video streams", 64, 25, true, true, true},
      {"0 frames per second", 1, 0, true, true, true},
      {"-5 frames per second", 1, -5, true, true, true},
      {"no video array", 1, 25, false, true, true},
      {"no audio", 1, 25, true, false, true},
      {"no result place", 1, 25, true, true, false},
  };
  for (const Case& c : cases) {
    FakeRuntime rt;
    rt.InstallUsualCodecs();
    rt.videos.resize(c.videoCount, rt.videos.front());
    rt.videos.back().framesPerSecond = c.framesPerSecond;
    HRESULT hr = GenerateProfile(
        c.audio ? &rt.audio : nullptr, nullptr, c.videoCount, c.videos ? rt.videos.data() : nullptr,
        c.result ? rt.result.GetAddressOf() : nullptr, WMT_VER_9_0, rt.manager.Factory());
    EXPECT_EQ(Hex(hr), Hex(E_INVALIDARG)) << c.name;
    EXPECT_TRUE(rt.log.Entries().empty()) << c.name;
  }
}

TEST(AddVideoStream, FrameTimeIsTenMillionDividedByTheWholeFrameRate) {
  const std::pair<LONG, LONGLONG> cases[] = {
      {25, 400000}, {23, 434782}, {30, 333333}, {1, 10000000}};
  for (const auto& [fps, frameTime] : cases) {
    FakeRuntime rt;
    rt.InstallUsualCodecs();
    rt.videos[0].framesPerSecond = fps;
    ASSERT_EQ(Hex(rt.Generate(1)), Hex(S_OK)) << fps;
    EXPECT_EQ(rt.FormatSetOn<VIDEOINFOHEADER>(&rt.formats[1]).AvgTimePerFrame, frameTime)
        << fps << " fps";
  }
}

// The profile as the runtime keeps it: each stream as it was when added.
TEST(GenerateProfile, AddsAudioVideoAndScriptStreamsNumberedInThatOrder) {
  FakeRuntime rt;
  rt.InstallUsualCodecs();
  rt.videos[0].quality = 75;
  ASSERT_EQ(Hex(rt.Generate(1, &kScriptBitrate)), Hex(S_OK));
  EXPECT_TRUE(rt.Logged("manager.CreateEmptyProfile(0x90000)"));
  EXPECT_EQ(rt.profile.profileName, L"Custom Profile");
  const struct {
    const char* config;
    const wchar_t* name;
    const wchar_t* connection;
    DWORD bitrate;
  } expected[] = {{"newAudio", L"Audio Stream", L"Audio", 128000},
                  {"wmv3", L"Video Stream", L"Video", 798720},
                  {"newScript", L"Script Stream", L"Script", kScriptBitrate}};
  ASSERT_EQ(rt.profile.addedStreams.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const FakeWmStreamConfig& stream = rt.profile.addedStreams[i];
    SCOPED_TRACE(expected[i].config);
    EXPECT_EQ(stream.Name(), expected[i].config);
    EXPECT_EQ(stream.streamNumber, i + 1);
    EXPECT_EQ(stream.streamName, expected[i].name);
    EXPECT_EQ(stream.connectionName, expected[i].connection);
    EXPECT_EQ(stream.bitrate, expected[i].bitrate);
    EXPECT_TRUE(stream.mediaType.has_value());
  }
  EXPECT_EQ(rt.profile.addedStreams[1].quality, 75u);
  EXPECT_EQ(rt.profile.addedStreams[1].maxKeyFrameSpacing, 80000000);
  EXPECT_EQ(rt.result.Get(), static_cast<IWMProfile*>(&rt.profile));
  rt.ExpectReferencesBack("success");
}

TEST(GenerateProfile, AudioMediaTypeCopiesTheChosenWaveFormat) {
  FakeRuntime rt;
  rt.InstallUsualCodecs();  // "wma" carries 10 extra bytes
  ASSERT_EQ(Hex(rt.Generate(1)), Hex(S_OK));
  const FakeMediaType& set = *rt.NewStream("newAudio")->mediaType;
  GUID subtype = WMMEDIASUBTYPE_Base;
  subtype.Data1 = kWma;
  EXPECT_EQ(set.majortype, WMMEDIATYPE_Audio);
  EXPECT_EQ(set.subtype, subtype);
  EXPECT_EQ(set.fixedSizeSamples, TRUE);
  EXPECT_EQ(set.temporalCompression, FALSE);
  EXPECT_EQ(set.sampleSize, 5945u);
  EXPECT_EQ(set.formattype, WMFORMAT_WaveFormatEx);
  EXPECT_EQ(set.pUnk, nullptr);
  EXPECT_EQ(set.format.size(), 28u);
  EXPECT_EQ(set.format, FakeWaveFormat(kWma, 44100, 2, 16000, 5945, 10).format);
}

TEST(GenerateProfile, VideoMediaTypeGetsTheSizeRateAndBitrateAndKeepsTheRest) {
  FakeRuntime rt;
  rt.InstallUsualCodecs();
  ASSERT_EQ(Hex(rt.Generate(1)), Hex(S_OK));
  const FakeWmStreamConfig& wmv3 = rt.formats[1];
  const FakeMediaType& set = *wmv3.mediaType;
  const FakeMediaType offered = FakeVideoFormat(kWmv3);
  EXPECT_EQ(set.majortype, offered.majortype);
  EXPECT_EQ(set.subtype, offered.subtype);
  EXPECT_EQ(set.temporalCompression, TRUE);
  EXPECT_EQ(set.formattype, WMFORMAT_VideoInfo);
  EXPECT_EQ(set.format.size(), sizeof(VIDEOINFOHEADER));
  const VIDEOINFOHEADER info = rt.FormatSetOn<VIDEOINFOHEADER>(&wmv3);
  EXPECT_EQ(info.rcSource.left, 2);
  EXPECT_EQ(info.rcSource.top, 3);
  EXPECT_EQ(info.rcSource.right, 640);
  EXPECT_EQ(info.rcSource.bottom, 480);
  EXPECT_EQ(info.rcTarget.right, 640);
  EXPECT_EQ(info.rcTarget.bottom, 480);
  EXPECT_EQ(info.dwBitRate, 798720u);
  EXPECT_EQ(info.dwBitErrorRate, 7u);
  EXPECT_EQ(info.AvgTimePerFrame, 400000);
  EXPECT_EQ(info.bmiHeader.biWidth, 640);
  EXPECT_EQ(info.bmiHeader.biHeight, 480);
  EXPECT_EQ(info.bmiHeader.biBitCount, 24);
  EXPECT_EQ(info.bmiHeader.biCompression, kWmv3);
  EXPECT_EQ(wmv3.quality, 0u);
  EXPECT_EQ(wmv3.maxKeyFrameSpacing, 80000000);
}

TEST(GenerateProfile, ScriptStreamFollowsTheVideoStreams) {
  FakeRuntime rt;
  rt.InstallUsualCodecs();
  ASSERT_EQ(Hex(rt.Generate(2, &kScriptBitrate)), Hex(S_OK));
  const FakeWmStreamConfig* script = rt.NewStream("newScript");
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(script->streamNumber, 4);
  const FakeMediaType& set = *script->mediaType;
  EXPECT_EQ(set.majortype, WMMEDIATYPE_Script);
  EXPECT_EQ(set.subtype, GUID_NULL);
  EXPECT_EQ(set.fixedSizeSamples, FALSE);
  EXPECT_EQ(set.temporalCompression, FALSE);
  EXPECT_EQ(set.sampleSize, 0u);
  EXPECT_EQ(set.formattype, WMFORMAT_Script);
  ASSERT_EQ(set.format.size(), sizeof(GUID));
  GUID scriptType;
  std::memcpy(&scriptType, set.format.data(), sizeof scriptType);
  EXPECT_EQ(scriptType, WMSCRIPTTYPE_TwoStrings);
}

TEST(GenerateProfile, EveryFailureIsPassedOnAndEveryReferenceComesBack) {
  const char* const failures[] = {
      "runtime.WMCreateProfileManager",
      "manager.CreateEmptyProfile",
      "profile.SetName",
      "manager.GetCodecInfoCount(audio)",
      "manager.GetCodecFormatCount(audio 0)",
      "manager.GetCodecFormat(audio 0 0)",
      "wma.GetMediaType(size)",
      "wma.GetMediaType(buffer)",
      "profile.CreateNewStream(Audio)",
      "newAudio.SetStreamNumber",
      "newAudio.SetStreamName",
      "newAudio.SetConnectionName",
      "newAudio.SetBitrate",
      "newAudio.SetMediaType",
      "profile.AddStream(newAudio)",
      "manager.GetCodecInfoCount(video)",
      "manager.GetCodecFormatCount(video 0)",
      "manager.GetCodecFormat(video 0 0)",
      "wmv3.GetMediaType(buffer)",
      "wmv3.SetQuality",
      "wmv3.SetMaxKeyFrameSpacing",
      "wmv3.SetStreamNumber(3)",
      "wmv3.SetMediaType",
      "profile.AddStream(wmv3)",
      "profile.CreateNewMutualExclusion",
      "exclusion.SetType",
      "exclusion.AddStream(3)",
      "profile.AddMutualExclusion",
      "profile.CreateNewStream(Script)",
      "newScript.SetBitrate",
      "newScript.SetMediaType",
      "profile.AddStream(newScript)",
  };
  HRESULT code = static_cast<HRESULT>(0x80041000);
  for (const char* failure : failures) {
    FakeRuntime rt;
    rt.InstallUsualCodecs();
    rt.log.FailOn(failure, ++code);
    EXPECT_EQ(Hex(rt.Generate(2, &kScriptBitrate)), Hex(code)) << failure;
    EXPECT_EQ(rt.result, nullptr) << failure;
    rt.ExpectReferencesBack(failure);
  }
}

TEST(GenerateProfile, MissingInterfacesArePassedOnAndEveryReferenceComesBack) {
  struct Case {
    const char* name;
    void (*spoil)(FakeRuntime&);
  };
  const Case cases[] = {
      {"no codec information", [](FakeRuntime& rt) { rt.manager.offersCodecInfo = false; }},
      {"audio format without media properties",
       [](FakeRuntime& rt) { rt.formats[0].offersMediaProps = false; }},
      {"video format without media properties",
       [](FakeRuntime& rt) { rt.formats[1].offersMediaProps = false; }},
  };
  for (const Case& c : cases) {
    FakeRuntime rt;
    rt.InstallUsualCodecs();
    c.spoil(rt);
    EXPECT_EQ(Hex(rt.Generate(1)), Hex(E_NOINTERFACE)) << c.name;
    rt.ExpectReferencesBack(c.name);
  }
}

TEST(GenerateProfile, MediaTypesTooSmallForTheirStructureAreRefused) {
  struct Case {
    const char* name;
    size_t format;  // 0 "wma", 1 "wmv3"
    std::optional<DWORD> size;
    std::optional<ULONG> cbFormat;
  };
  const DWORD header = sizeof(WM_MEDIA_TYPE);
  const Case cases[] = {
      {"media type smaller than its structure", 0, header - 8, {}},
      {"wave format block of 14 bytes", 0, {}, 14},
      {"wave format without room for its extra bytes", 0, {}, 20},
      {"wave format block beyond the buffer", 0, header + 10, {}},
      {"video-info block one byte short", 1, {}, sizeof(VIDEOINFOHEADER) - 1},
      {"video-info block beyond the buffer", 1, header + 40, {}},
  };
  for (const Case& c : cases) {
    FakeRuntime rt;
    rt.InstallUsualCodecs();
    rt.formats[c.format].reportedSize = c.size;
    rt.formats[c.format].reportedCbFormat = c.cbFormat;
    EXPECT_EQ(Hex(rt.Generate(1)), Hex(E_FAIL)) << c.name;
    EXPECT_EQ(rt.result, nullptr) << c.name;
    rt.ExpectReferencesBack(c.name);
  }
}

TEST(MapProfile, HandsTheTextToTheRuntimeAsUtf16) {
  struct Case {
    std::string text;
    std::wstring expected;
  };
  const Case cases[] = {
      {"test2", L"test2"},
      {std::string(300, 'x'), std::wstring(259, L'x')},
  };
  for (const Case& c : cases) {
    FakeRuntime rt;
    ComPtr<IWMProfile> loaded;
    EXPECT_EQ(Hex(MapProfile(c.text.c_str(), &loaded, rt.manager.Factory())), Hex(S_OK));
    EXPECT_EQ(rt.manager.loadedText, c.expected);
    EXPECT_EQ(loaded.Get(), static_cast<IWMProfile*>(&rt.profile));
    EXPECT_EQ(rt.manager.RefCount(), 0u);
    loaded.Reset();
    EXPECT_EQ(rt.profile.RefCount(), 0u);
  }
}

TEST(MapProfile, PassesOnTheRuntimesRefusalAndReleasesTheManager) {
  FakeRuntime rt;
  rt.log.FailOn("manager.LoadProfileByData", static_cast<HRESULT>(0xC00D0BBE));
  ComPtr<IWMProfile> loaded;
  EXPECT_EQ(Hex(MapProfile("test2", &loaded, rt.manager.Factory())), "0xC00D0BBE");
  EXPECT_EQ(loaded, nullptr);
  EXPECT_EQ(rt.manager.RefCount(), 0u);
  EXPECT_EQ(rt.profile.RefCount(), 0u);
}

TEST(MapProfile, WithoutAResultPlaceItTouchesNothing) {
  FakeRuntime rt;
  EXPECT_EQ(Hex(MapProfile("test2", nullptr, rt.manager.Factory())), Hex(E_POINTER));
  EXPECT_TRUE(rt.log.Entries().empty());
}

TEST(MapProfile, SaysOnStandardOutputWhenNoManagerCanBeMade) {
  FakeRuntime rt;
  rt.log.FailOn("runtime.WMCreateProfileManager", E_OUTOFMEMORY);
  ComPtr<IWMProfile> loaded;
  testing::internal::CaptureStdout();
  HRESULT hr = MapProfile("test2", &loaded, rt.manager.Factory());
  std::string output = testing::internal::GetCapturedStdout();
  output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
  EXPECT_EQ(Hex(hr), Hex(E_OUTOFMEMORY));
  EXPECT_EQ(output, "MapProfile: Failed to create profile manager!  hr=0x8007000e\n");
  EXPECT_EQ(loaded, nullptr);
}

}  // namespace
