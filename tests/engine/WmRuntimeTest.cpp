// The profile builder against the Windows Media runtime of this machine. What
// a runtime that makes no profiles (Wine's) does to it is a precondition: the
// cases that need it skip elsewhere.

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

#include "engine/ProfileManagerLoader.h"
#include "engine/WmProfileBuilder.h"

namespace {

using Microsoft::WRL::ComPtr;

const AudioStreamSpec kAudio = {
    .bitrate = 128000, .formatTag = 0x0161, .sampleRate = 44100, .channels = 2};
const VideoStreamSpec kVideo = {.fourcc = MAKEFOURCC('W', 'M', 'V', '3'),
                                .bitrate = 798720,
                                .height = 480,
                                .width = 640,
                                .framesPerSecond = 23,
                                .quality = 0,
                                .secondsPerKeyFrame = 8};

TEST(ProfileManagerLoader, ReachesTheRuntimeOrSaysWhyNot) {
  struct Case {
    const char* module;
    HRESULT expected;
  };
  const Case cases[] = {
      {"wmvcore.dll", S_OK},
      {"no-such-runtime.dll", HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)},
      {"kernel32.dll", HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)},  // no such export
  };
  for (const Case& c : cases) {
    ComPtr<IWMProfileManager> manager;
    EXPECT_EQ(CreateProfileManagerFrom(c.module, &manager), c.expected) << c.module;
    EXPECT_EQ(manager != nullptr, c.expected == S_OK) << c.module;
  }
  ComPtr<IWMProfileManager> manager;
  EXPECT_EQ(CreateProfileManager(&manager), S_OK);
  EXPECT_NE(manager, nullptr);
}

// The runtime's answer to a request for an empty profile (Wine 8's: E_NOTIMPL).
HRESULT EmptyProfileAnswer() {
  ComPtr<IWMProfileManager> manager;
  if (FAILED(CreateProfileManager(&manager))) return E_FAIL;
  ComPtr<IWMProfile> profile;
  return manager->CreateEmptyProfile(WMT_VER_9_0, &profile);
}

TEST(WmRuntime, GenerateProfilePassesOnTheRuntimesRefusal) {
  const HRESULT refusal = EmptyProfileAnswer();
  if (SUCCEEDED(refusal)) GTEST_SKIP() << "this runtime makes profiles: nothing to pass on";

  ComPtr<IWMProfile> profile;
  EXPECT_EQ(GenerateProfile(&kAudio, nullptr, 1, &kVideo, &profile, WMT_VER_9_0), refusal);
  EXPECT_EQ(profile, nullptr);
}

TEST(WmRuntime, MapProfileOfTest2FailsWhereTheRuntimeMakesNoProfiles) {
  if (SUCCEEDED(EmptyProfileAnswer())) GTEST_SKIP() << "this runtime makes profiles";
  ComPtr<IWMProfile> profile;
  testing::internal::CaptureStdout();
  const HRESULT hr = MapProfile("test2", &profile);
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
  EXPECT_EQ(profile, nullptr);
  EXPECT_EQ(output, "") << "the profile manager was made";
}

}  // namespace
