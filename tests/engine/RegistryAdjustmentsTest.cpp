// The subtitle filter's load level and the encoder's feedback switch, on the
// real registry of the prefix. Every test puts the two keys back as it found
// them; ctest never runs this beside another test that opens the main window.

#include "engine/RegistryAdjustments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "fakes/ScriptedPrompts.h"
#include "support/RawRegistry.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

// Copies the key from, with its values and subkeys, into to.
bool CopyTree(const std::string& from, const std::string& to) {
  HKEY source = nullptr;
  HKEY target = nullptr;
  const bool copied =
      RegOpenKeyExA(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, &source) == ERROR_SUCCESS &&
      RegCreateKeyExA(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &target, nullptr) == ERROR_SUCCESS &&
      RegCopyTreeA(source, nullptr, target) == ERROR_SUCCESS;
  if (source) RegCloseKey(source);
  if (target) RegCloseKey(target);
  return copied;
}

// Leaves a key of another component as the test found it: the part of its
// path that did not exist is deleted, a value that existed is put back, a key
// moved aside comes back whole.
class ForeignKeyGuard {
 public:
  ForeignKeyGuard(const char* path, const char* value) : m_path(path), m_value(value) {
    size_t end = 0;
    do {
      end = m_path.find('\\', end + 1);
      std::string prefix = m_path.substr(0, end);
      if (!RawKeyExists(prefix)) {
        m_createdRoot = prefix;
        break;
      }
    } while (end != std::string::npos);
    m_saved = ReadRawValue(path, value);
  }
  ~ForeignKeyGuard() {
    if (!m_aside.empty()) {
      RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
      EXPECT_TRUE(CopyTree(m_aside, m_path)) << m_path;
      RegDeleteTreeA(HKEY_CURRENT_USER, m_aside.c_str());
      RegDeleteKeyA(HKEY_CURRENT_USER, m_aside.c_str());
    } else if (!m_createdRoot.empty()) {
      RegDeleteTreeA(HKEY_CURRENT_USER, m_createdRoot.c_str());
    } else if (m_saved) {
      EXPECT_TRUE(WriteRawValue(m_path, m_value.c_str(), *m_saved));
    } else {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, m_path.c_str(), m_value.c_str());
    }
  }
  // Starts the test with the key present and the value absent.
  void MakeEmptyKey() const {
    ASSERT_TRUE(WriteRawValue(m_path, m_value.c_str(), DwordValue(0)));
    ASSERT_EQ(RegDeleteKeyValueA(HKEY_CURRENT_USER, m_path.c_str(), m_value.c_str()),
              ERROR_SUCCESS);
  }
  // Starts the test without the key; a key that was there (an installed
  // component's) is moved aside under the test's own scratch key.
  bool MakeAbsent() {
    if (m_createdRoot.empty()) {
      m_aside = "Software\\BrimvaleStudio\\test-aside-" + std::to_string(GetCurrentProcessId()) +
                "-" + m_value;
      if (!CopyTree(m_path, m_aside)) return false;
    }
    const std::string gone = m_createdRoot.empty() ? m_path : m_createdRoot;
    RegDeleteTreeA(HKEY_CURRENT_USER, gone.c_str());
    return RegDeleteKeyA(HKEY_CURRENT_USER, gone.c_str()) == ERROR_SUCCESS || !RawKeyExists(gone);
  }

 private:
  std::string m_path;
  std::string m_value;
  std::string m_createdRoot;
  std::string m_aside;
  std::optional<RawValue> m_saved;
};

// Tells whether a value of the key was written since it was made.
class WriteWatch {
 public:
  explicit WriteWatch(const char* path) : m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_NOTIFY, &m_key), ERROR_SUCCESS);
    EXPECT_EQ(RegNotifyChangeKeyValue(m_key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, m_event, TRUE),
              ERROR_SUCCESS);
  }
  ~WriteWatch() {
    if (m_key) RegCloseKey(m_key);
    CloseHandle(m_event);
  }
  bool Written() const { return WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }

 private:
  HANDLE m_event;
  HKEY m_key = nullptr;
};

// whileOpen runs while the main window is open on a scratch profile.
void OpenAndCloseTheMainWindow(const std::function<void()>& whileOpen) {
  ScratchProfile profile("registry");
  ScriptedPrompts prompts;
  LanguageManager languages{profile};
  GraphHandles graph;
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    whileOpen();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
}

class RegistryAdjustmentsTest : public ::testing::Test {
 protected:
  ForeignKeyGuard subtitleKey{kSubtitleFilterKey, kLoadLevelValue};
  ForeignKeyGuard encoderKey{kEncoderKey, kDisableFeedbackValue};
};

TEST_F(RegistryAdjustmentsTest, LoadLevelIsOneWhileRunningAndPutBackWithItsType) {
  struct Case {
    RawValue start;
    bool changed;
  };
  // Values of another type or length are put back whole; one longer than 4
  // bytes is left alone.
  const Case cases[] = {
      {DwordValue(0), true},
      {DwordValue(1), false},
      {DwordValue(2), true},
      {DwordValue(2, REG_BINARY), true},
      {{REG_SZ, {'0', 0}}, true},
      {{REG_SZ, {}}, true},
      {{REG_BINARY, {2}}, true},
      {{REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}}, false},
      {{REG_SZ, {'1', '2', '3', '4', 0}}, false},
  };
  for (const Case& c : cases) {
    const std::string context = "type " + std::to_string(c.start.type) + ", " +
                                std::to_string(c.start.data.size()) + " bytes";
    RawValue whileRunning = c.start;
    if (c.changed) {
      std::fill(whileRunning.data.begin(), whileRunning.data.end(), 0);
      if (!whileRunning.data.empty()) whileRunning.data[0] = 1;
    }
    ASSERT_TRUE(WriteRawValue(kSubtitleFilterKey, kLoadLevelValue, c.start));
    SavedLoadLevel saved{77, false};
    {
      WriteWatch watch(kSubtitleFilterKey);
      ForceSubtitleLoadLevel(saved);
      EXPECT_EQ(watch.Written(), c.changed) << context;
    }
    EXPECT_EQ(saved.changed, c.changed) << context;
    EXPECT_EQ(ReadRawValue(kSubtitleFilterKey, kLoadLevelValue), whileRunning) << context;

    WriteWatch watch(kSubtitleFilterKey);
    RestoreSubtitleLoadLevel(saved);
    EXPECT_EQ(watch.Written(), c.changed) << context;
    EXPECT_FALSE(saved.changed) << context;
    EXPECT_EQ(ReadRawValue(kSubtitleFilterKey, kLoadLevelValue), c.start) << context;
  }
}

TEST_F(RegistryAdjustmentsTest, AbsentKeysAndValuesAreNeverCreated) {
  ASSERT_TRUE(subtitleKey.MakeAbsent() && encoderKey.MakeAbsent());
  SavedLoadLevel saved{77, false};
  ForceSubtitleLoadLevel(saved);
  EXPECT_FALSE(saved.changed);
  EXPECT_EQ(saved.value, 77u);
  RestoreSubtitleLoadLevel(saved);
  SavedLoadLevel held{5, true};
  RestoreSubtitleLoadLevel(held);
  EXPECT_FALSE(held.changed) << "cleared even when the key is gone";
  DisableEncoderFeedback();
  EXPECT_FALSE(RawKeyExists(kSubtitleFilterKey));
  EXPECT_FALSE(RawKeyExists(kEncoderKey));

  subtitleKey.MakeEmptyKey();
  encoderKey.MakeEmptyKey();
  ForceSubtitleLoadLevel(saved);
  EXPECT_FALSE(saved.changed);
  RestoreSubtitleLoadLevel(saved);
  held = {5, true};  // as if the value went away while the program ran
  RestoreSubtitleLoadLevel(held);
  EXPECT_FALSE(held.changed);
  DisableEncoderFeedback();
  EXPECT_EQ(ReadRawValue(kSubtitleFilterKey, kLoadLevelValue), std::nullopt);
  EXPECT_EQ(ReadRawValue(kEncoderKey, kDisableFeedbackValue), std::nullopt);
}

// Instances running at once: whichever closes first, the level stays 1 for
// the other, and the last puts the user's value back.
TEST_F(RegistryAdjustmentsTest, InstancesAtOnceHoldTheLevelUntilTheLastCloses) {
  for (bool firstClosesFirst : {true, false}) {
    ASSERT_TRUE(WriteRawValue(kSubtitleFilterKey, kLoadLevelValue, DwordValue(2)));
    SavedLoadLevel first, second;
    ForceSubtitleLoadLevel(first);
    ForceSubtitleLoadLevel(second);
    RestoreSubtitleLoadLevel(firstClosesFirst ? first : second);
    EXPECT_EQ(ReadRawValue(kSubtitleFilterKey, kLoadLevelValue), DwordValue(1)) << firstClosesFirst;
    RestoreSubtitleLoadLevel(firstClosesFirst ? second : first);
    EXPECT_EQ(ReadRawValue(kSubtitleFilterKey, kLoadLevelValue), DwordValue(2)) << firstClosesFirst;
  }
}

TEST_F(RegistryAdjustmentsTest, DisableFeedbackSetsOnlyTheFirstByteAndKeepsTypeAndSize) {
  struct Case {
    const char* name;
    RawValue start;
    RawValue expected;
  };
  std::vector<BYTE> full(260, 0x22), fullSet = full, tooLong(261, 0x22);
  fullSet[0] = 1;
  const Case cases[] = {
      {"number 0", DwordValue(0), DwordValue(1)},
      {"number 256", DwordValue(256), DwordValue(257)},
      {"three binary bytes", {REG_BINARY, {0x00, 0xAB, 0xCD}}, {REG_BINARY, {0x01, 0xAB, 0xCD}}},
      {"260 binary bytes", {REG_BINARY, full}, {REG_BINARY, fullSet}},
      {"261 binary bytes: not read, not written", {REG_BINARY, tooLong}, {REG_BINARY, tooLong}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteRawValue(kEncoderKey, kDisableFeedbackValue, c.start));
    DisableEncoderFeedback();
    EXPECT_EQ(ReadRawValue(kEncoderKey, kDisableFeedbackValue), c.expected) << c.name;
  }
}

TEST_F(RegistryAdjustmentsTest, TheMainWindowHoldsLoadLevelOneUntilItCloses) {
  for (DWORD start : {0u, 2u}) {
    ASSERT_TRUE(WriteRawValue(kSubtitleFilterKey, kLoadLevelValue, DwordValue(start)));
    ASSERT_TRUE(WriteRawValue(kEncoderKey, kDisableFeedbackValue, DwordValue(256)));
    std::optional<RawValue> whileRunning, feedbackWhileRunning;
    OpenAndCloseTheMainWindow([&] {
      whileRunning = ReadRawValue(kSubtitleFilterKey, kLoadLevelValue);
      feedbackWhileRunning = ReadRawValue(kEncoderKey, kDisableFeedbackValue);
    });
    EXPECT_EQ(whileRunning, DwordValue(1)) << start;
    EXPECT_EQ(feedbackWhileRunning, DwordValue(257)) << start;
    EXPECT_EQ(ReadRawValue(kSubtitleFilterKey, kLoadLevelValue), DwordValue(start))
        << "after close";
    EXPECT_EQ(ReadRawValue(kEncoderKey, kDisableFeedbackValue), DwordValue(257))
        << "nothing puts it back";
  }
}

TEST_F(RegistryAdjustmentsTest, TheMainWindowCreatesNoKeyOfAnotherComponent) {
  ASSERT_TRUE(subtitleKey.MakeAbsent() && encoderKey.MakeAbsent());
  OpenAndCloseTheMainWindow([] {});
  EXPECT_FALSE(RawKeyExists(kSubtitleFilterKey));
  EXPECT_FALSE(RawKeyExists(kEncoderKey));
}

}  // namespace
