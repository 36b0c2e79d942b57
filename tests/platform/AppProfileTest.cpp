#include "platform/AppProfile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/ScratchProfile.h"

namespace {

TEST(AppProfile, AbsentValuesReadAsTheDefault) {
  ScratchProfile profile("absent");
  EXPECT_EQ(profile.GetInt("Settings", "nOuptputFormat", 1), 1);
  EXPECT_EQ(profile.GetInt("Settings", "nOuptputFormat", -2), -2);
  EXPECT_EQ(profile.GetString("Settings", "OutputName", "c:\\output.avi"), "c:\\output.avi");
  EXPECT_FALSE(profile.HasValue("Settings", "nOuptputFormat")) << "reading must not write";
}

TEST(AppProfile, IntegersAreDwordsInTwosComplement) {
  ScratchProfile profile("ints");
  const struct {
    int value;
    DWORD stored;
  } cases[] = {{0, 0},
               {798720, 798720},
               {-1, 4294967295u},
               {-2, 4294967294u},
               {INT_MIN, 0x80000000u},
               {INT_MAX, 0x7FFFFFFFu}};
  for (const auto& c : cases) {
    ASSERT_TRUE(profile.WriteInt("DexVideoCompress", "CompressorNumber", c.value));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(profile.ReadRaw("DexVideoCompress", "CompressorNumber", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(data.size(), sizeof(DWORD));
    DWORD raw = 0;
    memcpy(&raw, data.data(), sizeof raw);
    EXPECT_EQ(raw, c.stored) << c.value;
    EXPECT_EQ(profile.GetInt("DexVideoCompress", "CompressorNumber", 12345), c.value);
  }
}

TEST(AppProfile, StringsRoundTrip) {
  ScratchProfile profile("strings");
  const std::string texts[] = {"", "d:\\clips\\talk.avi", std::string(5000, 'q'), "50%s %n"};
  for (const std::string& text : texts) {
    ASSERT_TRUE(profile.WriteString("Settings", "OutputName", text.c_str()));
    EXPECT_EQ(profile.GetString("Settings", "OutputName", "default"), text);
  }
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(profile.ReadRaw("Settings", "OutputName", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST(AppProfile, ValuesOfAnotherTypeReadAsTheDefault) {
  ScratchProfile profile("types");
  const char text[] = "12";
  ASSERT_TRUE(profile.WriteRaw("Settings", "OutputWidth", REG_SZ, text, sizeof text));
  EXPECT_EQ(profile.GetInt("Settings", "OutputWidth", 0), 0);

  const BYTE binary[4] = {1, 0, 0, 0};
  ASSERT_TRUE(profile.WriteRaw("Settings", "OutputHigh", REG_BINARY, binary, sizeof binary));
  EXPECT_EQ(profile.GetInt("Settings", "OutputHigh", 7), 7);

  const DWORD number = 5;
  ASSERT_TRUE(profile.WriteRaw("Settings", "OutputName", REG_DWORD, &number, sizeof number));
  EXPECT_EQ(profile.GetString("Settings", "OutputName", "c:\\output.avi"), "c:\\output.avi");
}

TEST(AppProfile, LivesUnderCompanyAndApplication) {
  ScratchProfile profile("layout");
  ASSERT_TRUE(profile.WriteInt("Settings", "n_audio_bitrate", 64000));
  std::string key = "Software\\BrimvaleStudio\\" + profile.Application() + "\\Settings";
  DWORD value = 0;
  DWORD size = sizeof value;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "n_audio_bitrate", RRF_RT_REG_DWORD,
                         nullptr, &value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(value, 64000u);

  EXPECT_TRUE(profile.DeleteApplicationKey());
  EXPECT_EQ(profile.GetInt("Settings", "n_audio_bitrate", 128000), 128000);
  EXPECT_TRUE(profile.DeleteApplicationKey()) << "deleting an absent key is no failure";
}

}  // namespace
