// The release's setup program run silently, the program and its help file
// started from where it installed them, and the uninstaller.

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/ProgramDriver.h"
#include "platform/AppProfile.h"
#include "platform/Path.h"
#include "res/resource.h"
#include "support/VersionResource.h"

namespace {

constexpr DWORD kTimeoutMs = 60000;
constexpr char kInstallFolder[] = "C:\\Program Files\\RoroVozaririd Test";
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RoroVozaririd";
constexpr char kAbsent[] = "<absent>";

// A release's files, setup program, shortcut and entry carry its bitness, and
// its entry lies in the registry view of that bitness.
std::string TitleOf(int bits) { return "RoroVozaririd (" + std::to_string(bits) + "-bit)"; }
REGSAM ViewOf(int bits) { return bits == 64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY; }

std::string PackageFolder() { return path::ModuleFolder() + "\\..\\package"; }
std::string StagedFolder() {
  return PackageFolder() + "\\RoroVozaririd-" + std::to_string(kThisBuildBits) + "bit";
}
std::string Installed(const char* name) { return std::string(kInstallFolder) + "\\" + name; }

std::string SetupProgramIn(const std::string& folder, int bits) {
  WIN32_FIND_DATAA found;
  const std::string pattern =
      folder + "\\RoroVozaririd-*-" + std::to_string(bits) + "bit-setup.exe";
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  FindClose(search);
  return folder + "\\" + found.cFileName;
}
std::string SetupProgram() { return SetupProgramIn(PackageFolder(), kThisBuildBits); }

// Every file under the folder as a path relative to it, sorted.
std::vector<std::string> FilesUnder(const std::string& folder, const std::string& prefix = "") {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      files.push_back(prefix + name);
      continue;
    }
    for (const std::string& f : FilesUnder(folder + "\\" + name, prefix + name + "\\")) {
      files.push_back(f);
    }
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  std::sort(files.begin(), files.end());
  return files;
}

std::string UninstallValue(const char* name, int bits = kThisBuildBits) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE | ViewOf(bits), &key) !=
      ERROR_SUCCESS) {
    return kAbsent;
  }
  char text[1024] = "";
  DWORD size = sizeof text;
  LSTATUS status = RegGetValueA(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text, &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? text : kAbsent;
}

bool ShortcutExists(int bits = kThisBuildBits) {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, folder);
  return GetFileAttributesA((std::string(folder) + "\\" + TitleOf(bits) + ".lnk").c_str()) !=
         INVALID_FILE_ATTRIBUTES;
}

// Runs a setup or uninstall program to its end; its exit code, or -1.
int RunToEnd(const std::string& exePath, const std::string& arguments) {
  ProgramDriver driver;
  DWORD exitCode = 0;
  if (!driver.Start(exePath, arguments) || !driver.WaitForExit(kTimeoutMs, &exitCode)) return -1;
  return static_cast<int>(exitCode);
}

int Install() { return RunToEnd(SetupProgram(), std::string("/S /D=") + kInstallFolder); }

// The uninstaller hands its work to a copy of itself and returns at once; the
// entry in Add or Remove Programs goes last.
bool UninstallAndWait(const std::string& arguments, const std::string& folder = kInstallFolder,
                      int bits = kThisBuildBits) {
  if (RunToEnd(folder + "\\uninstall.exe", arguments) != 0) return false;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs; Sleep(200)) {
    if (UninstallValue("DisplayName", bits) == kAbsent) return true;
  }
  return false;
}

// Paints the window, its frame and its children before a picture is taken.
void Settle(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(500);
}

class InstalledRelease : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_setupExitCode = Install(); }
  static void TearDownTestSuite() {
    if (UninstallValue("DisplayName") != kAbsent) UninstallAndWait("/S /REMOVESETTINGS");
  }
  void SetUp() override { ASSERT_EQ(s_setupExitCode, 0) << "setup program: " << SetupProgram(); }

  static int s_setupExitCode;
};
int InstalledRelease::s_setupExitCode = -1;

TEST_F(InstalledRelease, HoldsTheStagedFilesAShortcutAndAnAddRemoveEntry) {
  std::vector<std::string> expected = FilesUnder(StagedFolder());
  expected.push_back("uninstall.exe");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesUnder(kInstallFolder), expected);
  EXPECT_TRUE(ShortcutExists());

  const std::pair<const char*, std::string> entry[] = {
      {"DisplayName", TitleOf(kThisBuildBits)},
      {"DisplayVersion", FileVersion(Installed("RoroVozaririd.exe"))},
      {"Publisher", "Brimvale Studio"},
      {"InstallLocation", kInstallFolder},
      {"UninstallString", '"' + Installed("uninstall.exe") + '"'},
  };
  for (const auto& [name, value] : entry) EXPECT_EQ(UninstallValue(name), value) << name;
  EXPECT_EQ(VersionString(Installed("RoroVozaririd.exe"), "FileDescription"),
            "Lumaweave video converter (" + ThisBuild() + ")");
}

// The captions come from the language files beside the installed program.
TEST_F(InstalledRelease, ProgramShowsTheStoredLanguage) {
  struct Case {
    const char* language;
    const char* mainCaption;
    const char* optionsCaption;
  };
  const Case cases[] = {
      {"english", "RoroVozaririd", "Output options"},
      {"French", "RoroVozaririd - Convertisseur vid\xE9o", "Options de sortie"},
  };
  for (const Case& c : cases) {
    AppProfile settings("BrimvaleStudio", "RoroVozaririd");
    ASSERT_TRUE(settings.DeleteApplicationKey());
    ASSERT_TRUE(settings.WriteString("Option", "CurrentLanguage", c.language));
    ProgramDriver driver;
    ASSERT_TRUE(driver.Start(Installed("RoroVozaririd.exe")));
    HWND main = driver.WaitForWindow(c.mainCaption, kTimeoutMs);
    ASSERT_NE(main, nullptr) << c.language;
    const std::string shots = ProgramDriver::ScreenshotFolder() + "\\installed-" + c.language;
    Settle(main);
    EXPECT_TRUE(ProgramDriver::SaveScreenshot(main, shots + "-main-window.bmp"));

    ProgramDriver::Click(main, IDC_BUTTON_OUTPUT_SETTINGS);
    HWND options = driver.WaitForWindow(c.optionsCaption, kTimeoutMs);
    ASSERT_NE(options, nullptr) << c.language;
    Settle(options);
    EXPECT_TRUE(ProgramDriver::SaveScreenshot(options, shots + "-output-options.bmp"));
    ProgramDriver::Click(options, IDC_BUTTON_OPTIONS_CANCEL);
    for (DWORD start = GetTickCount(); IsWindow(options) && GetTickCount() - start < kTimeoutMs;) {
      Sleep(100);
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitForExit(kTimeoutMs)) << c.language;
  }
}

HWND FindDescendant(HWND parent, const char* className) {
  HWND found = FindWindowExA(parent, nullptr, className, nullptr);
  for (HWND c = GetWindow(parent, GW_CHILD); !found && c; c = GetWindow(c, GW_HWNDNEXT)) {
    found = FindDescendant(c, className);
  }
  return found;
}

// The help viewer, started as the program's Help command starts it, shows the
// installed help file with its table of contents.
TEST_F(InstalledRelease, HelpOpensTheHelpWindow) {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  ProgramDriver viewer;
  ASSERT_TRUE(
      viewer.Start(std::string(windows) + "\\hh.exe", Installed("help.chm::/Introduction.htm")));
  HWND help = viewer.WaitForWindow("RoroVozaririd Help", kTimeoutMs);
  ASSERT_NE(help, nullptr) << "no help window";
  HWND contents = FindDescendant(help, WC_TREEVIEWA);
  ASSERT_NE(contents, nullptr) << "no table of contents";
  EXPECT_GT(SendMessageA(contents, TVM_GETCOUNT, 0, 0), 0);
  Settle(help);
  EXPECT_TRUE(
      ProgramDriver::SaveScreenshot(help, ProgramDriver::ScreenshotFolder() + "\\help.bmp"));
}

// Each case installs, adds a file of the user's own and a stored setting, and
// uninstalls silently.
TEST(Uninstaller, RemovesWhatSetupInstalledAndTheSettingsOnlyWhenAsked) {
  const std::pair<const char*, const char*> cases[] = {
      {"/S", "French"},
      {"/S /REMOVESETTINGS", kAbsent},
  };
  for (const auto& [arguments, languageAfter] : cases) {
    ASSERT_EQ(Install(), 0);
    AppProfile settings("BrimvaleStudio", "RoroVozaririd");
    ASSERT_TRUE(settings.WriteString("Option", "CurrentLanguage", "French"));
    const std::string ownFile = Installed("language\\Mine.ini");
    HANDLE own = CreateFileA(ownFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(own, INVALID_HANDLE_VALUE);
    CloseHandle(own);

    ASSERT_TRUE(UninstallAndWait(arguments)) << arguments;
    EXPECT_EQ(FilesUnder(kInstallFolder), std::vector<std::string>{"language\\Mine.ini"})
        << arguments;
    EXPECT_FALSE(ShortcutExists()) << arguments;
    EXPECT_STREQ(settings.GetString("Option", "CurrentLanguage", kAbsent).c_str(), languageAfter)
        << arguments;
    DeleteFileA(ownFile.c_str());
    RemoveDirectoryA(Installed("language").c_str());
    RemoveDirectoryA(kInstallFolder);
  }
}

// Where a setup program installs by default: the 32-bit one into the 32-bit
// Program Files folder.
std::string DefaultInstallFolder(int bits) {
  char folder[MAX_PATH] = "";
  const int programFiles = bits == 64 ? CSIDL_PROGRAM_FILES : CSIDL_PROGRAM_FILESX86;
  SHGetFolderPathA(nullptr, programFiles, nullptr, 0, folder);
  return std::string(folder) + "\\Brimvale Studio\\RoroVozaririd";
}

void ExpectInstalled(int bits) {
  SCOPED_TRACE(TitleOf(bits));
  const std::string folder = DefaultInstallFolder(bits);
  EXPECT_EQ(UninstallValue("DisplayName", bits), TitleOf(bits));
  EXPECT_EQ(UninstallValue("InstallLocation", bits), folder);
  EXPECT_EQ(VersionString(folder + "\\RoroVozaririd.exe", "FileDescription"),
            "Lumaweave video converter (" + std::to_string(bits) + "-bit)");
  EXPECT_TRUE(ShortcutExists(bits));
}

// The 32-bit release's package folder, which scripts/test names in
// RELEASE_32BIT_FOLDER where the machine runs 32-bit programs; empty otherwise.
std::string Release32Folder() {
  char folder[MAX_PATH] = "";
  const DWORD length = GetEnvironmentVariableA("RELEASE_32BIT_FOLDER", folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? folder : "";
}

// Both builds installed where their setup programs install by default; each
// uninstalled in turn while the other stays whole: neither touches the other's
// files, entry or shortcut.
TEST(BothBuilds, InstallSideBySideAndUninstallApart) {
  const std::string folder32 = Release32Folder();
  if (kThisBuildBits != 64 || folder32.empty()) {
    GTEST_SKIP() << "no 32-bit release to install beside this 64-bit one";
  }
  const std::pair<int, std::string> setups[] = {{64, SetupProgram()},
                                                {32, SetupProgramIn(folder32, 32)}};
  for (const auto& [gone, stays] : {std::pair{64, 32}, std::pair{32, 64}}) {
    for (const auto& [bits, setup] : setups) {
      if (UninstallValue("DisplayName", bits) == kAbsent) {
        ASSERT_EQ(RunToEnd(setup, "/S"), 0) << setup;
      }
    }
    for (const auto& setup : setups) ExpectInstalled(setup.first);
    ASSERT_TRUE(UninstallAndWait("/S", DefaultInstallFolder(gone), gone)) << TitleOf(gone);
    EXPECT_EQ(GetFileAttributesA(DefaultInstallFolder(gone).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(ShortcutExists(gone));
    ExpectInstalled(stays);
  }
  EXPECT_TRUE(UninstallAndWait("/S /REMOVESETTINGS", DefaultInstallFolder(64), 64));
}

}  // namespace
