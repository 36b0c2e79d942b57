// The subtitle filter's load level and the encoder's feedback switch, on the
// real registry of the prefix. Every test puts the two keys back as it found
// them; ctest never runs this beside another test that opens the main window.

#include "engine/RegistryAdjustments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "fakes/ScriptedPrompts.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

struct RegValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RegValue&) const = default;
};

std::optional<RegValue> Get(const char* key, const char* name) {
  RegValue value;
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(size);
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                   value.data.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(size);
  return value;
}

void Put(const char* key, const char* name, const RegValue& value) {
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key, name, value.type, value.data.data(),
                            static_cast<DWORD>(value.data.size())),
            ERROR_SUCCESS);
}

RegValue Dword(DWORD number, DWORD type = REG_DWORD) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
  return {type, std::vector<BYTE>(bytes, bytes + sizeof number)};
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// Leaves a key of another component as the test found it: the part of its
// path that did not exist is deleted, a value that existed is put back.
class ForeignKeyGuard {
 public:
  ForeignKeyGuard(const char* path, const char* value) : m_path(path), m_value(value) {
    size_t end = 0;
    do {
      end = m_path.find('\\', end + 1);
      std::string prefix = m_path.substr(0, end);
      if (!KeyExists(prefix)) {
        m_createdRoot = prefix;
        break;
      }
    } while (end != std::string::npos);
    m_saved = Get(path, value);
  }
  ~ForeignKeyGuard() {
    if (!m_createdRoot.empty()) {
      RegDeleteTreeA(HKEY_CURRENT_USER, m_createdRoot.c_str());
    } else if (m_saved) {
      Put(m_path.c_str(), m_value.c_str(), *m_saved);
    } else {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, m_path.c_str(), m_value.c_str());
    }
  }
  // Starts the test with the key present and the value absent.
  void MakeEmptyKey() const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegDeleteValueA(key, m_value.c_str());
    RegCloseKey(key);
  }
  // Starts the test without the key; false when the key belongs to an
  // installed component, which the test leaves alone.
  bool MakeAbsent() const {
    if (m_createdRoot.empty()) return false;
    LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, m_createdRoot.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }

 private:
  std::string m_path;
  std::string m_value;
  std::string m_createdRoot;
  std::optional<RegValue> m_saved;
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

class RegistryAdjustmentsTest : public ::testing::Test {
 protected:
  ForeignKeyGuard subtitleKey{kSubtitleFilterKey, kLoadLevelValue};
  ForeignKeyGuard encoderKey{kEncoderKey, kDisableFeedbackValue};
};

TEST_F(RegistryAdjustmentsTest, LoadLevelIsOneWhileRunningAndPutBackWithItsType) {
  struct Case {
    RegValue start;
    bool changed;
  };
  // Values of another type or length are put back whole; one longer than 4
  // bytes is left alone.
  const Case cases[] = {
      {Dword(0), true},
      {Dword(1), false},
      {Dword(2), true},
      {Dword(2, REG_BINARY), true},
      {{REG_SZ, {'0', 0}}, true},
      {{REG_SZ, {}}, true},
      {{REG_BINARY, {2}}, true},
      {{REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}}, false},
      {{REG_SZ, {'1', '2', '3', '4', 0}}, false},
  };
  for (const Case& c : cases) {
    const std::string context = "type " + std::to_string(c.start.type) + ", " +
                                std::to_string(c.start.data.size()) + " bytes";
    RegValue whileRunning = c.start;
    if (c.changed) {
      std::fill(whileRunning.data.begin(), whileRunning.data.end(), 0);
      if (!whileRunning.data.empty()) whileRunning.data[0] = 1;
    }
    Put(kSubtitleFilterKey, kLoadLevelValue, c.start);
    SavedLoadLevel saved{77, false};
    {
      WriteWatch watch(kSubtitleFilterKey);
      ForceSubtitleLoadLevel(saved);
      EXPECT_EQ(watch.Written(), c.changed) << context;
    }
    EXPECT_EQ(saved.changed, c.changed) << context;
    EXPECT_EQ(Get(kSubtitleFilterKey, kLoadLevelValue), whileRunning) << context;

    WriteWatch watch(kSubtitleFilterKey);
    RestoreSubtitleLoadLevel(saved);
    EXPECT_EQ(watch.Written(), c.changed) << context;
    EXPECT_FALSE(saved.changed) << context;
    EXPECT_EQ(Get(kSubtitleFilterKey, kLoadLevelValue), c.start) << context;
  }
}

TEST_F(RegistryAdjustmentsTest, AbsentKeysAndValuesAreNeverCreated) {
  if (!subtitleKey.MakeAbsent() || !encoderKey.MakeAbsent())
    GTEST_SKIP() << "the components are installed here";
  SavedLoadLevel saved{77, false};
  ForceSubtitleLoadLevel(saved);
  EXPECT_FALSE(saved.changed);
  EXPECT_EQ(saved.value, 77u);
  SavedLoadLevel held{5, true};
  RestoreSubtitleLoadLevel(held);
  EXPECT_FALSE(held.changed) << "cleared even when the key is gone";
  DisableEncoderFeedback();
  EXPECT_FALSE(KeyExists(kSubtitleFilterKey));
  EXPECT_FALSE(KeyExists(kEncoderKey));

  subtitleKey.MakeEmptyKey();
  encoderKey.MakeEmptyKey();
  ForceSubtitleLoadLevel(saved);
  EXPECT_FALSE(saved.changed);
  held = {5, true};  // as if the value went away while the program ran
  RestoreSubtitleLoadLevel(held);
  EXPECT_FALSE(held.changed);
  DisableEncoderFeedback();
  EXPECT_EQ(Get(kSubtitleFilterKey, kLoadLevelValue), std::nullopt);
  EXPECT_EQ(Get(kEncoderKey, kDisableFeedbackValue), std::nullopt);
}

TEST_F(RegistryAdjustmentsTest, DisableFeedbackSetsOnlyTheFirstByteAndKeepsTypeAndSize) {
  struct Case {
    const char* name;
    RegValue start;
    RegValue expected;
  };
  std::vector<BYTE> full(260, 0x22), fullSet = full, tooLong(261, 0x22);
  fullSet[0] = 1;
  const Case cases[] = {
      {"number 0", Dword(0), Dword(1)},
      {"number 256", Dword(256), Dword(257)},
      {"three binary bytes", {REG_BINARY, {0x00, 0xAB, 0xCD}}, {REG_BINARY, {0x01, 0xAB, 0xCD}}},
      {"260 binary bytes", {REG_BINARY, full}, {REG_BINARY, fullSet}},
      {"261 binary bytes: not read, not written", {REG_BINARY, tooLong}, {REG_BINARY, tooLong}},
  };
  for (const Case& c : cases) {
    Put(kEncoderKey, kDisableFeedbackValue, c.start);
    DisableEncoderFeedback();
    EXPECT_EQ(Get(kEncoderKey, kDisableFeedbackValue), c.expected) << c.name;
  }
}

TEST_F(RegistryAdjustmentsTest, TheMainWindowHoldsLoadLevelOneUntilItCloses) {
  for (DWORD start : {0u, 2u}) {
    Put(kSubtitleFilterKey, kLoadLevelValue, Dword(start));
    Put(kEncoderKey, kDisableFeedbackValue, Dword(256));
    ScratchProfile profile("registry");
    ScriptedPrompts prompts;
    LanguageManager languages{profile};
    GraphHandles graph;
    MainDialog dialog(profile, languages, graph);
    std::optional<RegValue> whileRunning, feedbackWhileRunning;
    RunScripted(dialog, [&](HWND hwnd) {
      whileRunning = Get(kSubtitleFilterKey, kLoadLevelValue);
      feedbackWhileRunning = Get(kEncoderKey, kDisableFeedbackValue);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(whileRunning, Dword(1)) << start;
    EXPECT_EQ(feedbackWhileRunning, Dword(257)) << start;
    EXPECT_EQ(Get(kSubtitleFilterKey, kLoadLevelValue), Dword(start)) << "after close";
    EXPECT_EQ(Get(kEncoderKey, kDisableFeedbackValue), Dword(257)) << "nothing puts it back";
  }
}

TEST_F(RegistryAdjustmentsTest, TheMainWindowCreatesNoKeyOfAnotherComponent) {
  if (!subtitleKey.MakeAbsent() || !encoderKey.MakeAbsent())
    GTEST_SKIP() << "the components are installed here";
  ScratchProfile profile("registry");
  ScriptedPrompts prompts;
  LanguageManager languages{profile};
  GraphHandles graph;
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) { SendMessageA(hwnd, WM_CLOSE, 0, 0); });
  EXPECT_FALSE(KeyExists(kSubtitleFilterKey));
  EXPECT_FALSE(KeyExists(kEncoderKey));
}

}  // namespace
