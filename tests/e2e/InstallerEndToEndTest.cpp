// The release's setup program, run silently as a user's deployment would, and
// the program, its language files and its help file started from where it
// installed them; then the uninstaller.

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/ProgramDriver.h"
#include "platform/AppProfile.h"
#include "platform/Path.h"
#include "res/resource.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr DWORD kTimeoutMs = 60000;
constexpr char kInstallFolder[] = "C:\\Program Files\\RoroVozaririd Test";
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RoroVozaririd";

std::string PackageFolder() { return path::ModuleFolder() + "\\..\\package"; }

std::string SetupProgram() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((PackageFolder() + "\\RoroVozaririd-*-setup.exe").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  FindClose(search);
  return PackageFolder() + "\\" + found.cFileName;
}

// Every file under the folder, as paths relative to it, sorted.
void ListFiles(const std::string& folder, const std::string& prefix,
               std::vector<std::string>* files) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(folder + "\\" + name, prefix + name + "\\", files);
    } else {
      files->push_back(prefix + name);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(files->begin(), files->end());
}

std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> files;
  ListFiles(folder, "", &files);
  return files;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string UninstallValue(const char* name) {
  char text[1024] = "";
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return "<absent>";
  }
  return text;
}

bool UninstallEntryExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// "major.minor.build.revision" of the file's version resource.
std::string FileVersion(const std::string& file) {
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(file.c_str(), &ignored));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  if (block.empty() ||
      !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &size)) {
    return "<none>";
  }
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionLS));
}

std::string StartMenuShortcut() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, folder);
  return std::string(folder) + "\\RoroVozaririd.lnk";
}

std::string ShortcutTarget(const std::string& shortcut) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  wchar_t wide[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
  char target[MAX_PATH] = "";
  if (FAILED(
          CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
      FAILED(link.As(&file)) || FAILED(file->Load(wide, STGM_READ)) ||
      FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) {
    return "<unreadable>";
  }
  return target;
}

// Runs a setup or uninstall program and waits for it; its exit code, or -1.
int RunToEnd(const std::string& exePath, const std::string& arguments) {
  ProgramDriver driver;
  DWORD exitCode = 0;
  if (!driver.Start(exePath, arguments) || !driver.WaitForExit(kTimeoutMs, &exitCode)) return -1;
  return static_cast<int>(exitCode);
}

// The uninstaller hands its work to a copy of itself and returns at once; the
// entry in Add or Remove Programs goes last.
bool UninstallAndWait(const std::string& arguments) {
  if (RunToEnd(std::string(kInstallFolder) + "\\uninstall.exe", arguments) != 0) return false;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs; Sleep(200)) {
    if (!UninstallEntryExists()) return true;
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
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    // /D= must come last and unquoted, even with blanks.
    s_setupExitCode = RunToEnd(SetupProgram(), std::string("/S /D=") + kInstallFolder);
  }
  static void TearDownTestSuite() {
    if (UninstallEntryExists()) UninstallAndWait("/S /REMOVESETTINGS");
    CoUninitialize();
  }
  void SetUp() override { ASSERT_EQ(s_setupExitCode, 0) << "setup program: " << SetupProgram(); }

  static int s_setupExitCode;
};
int InstalledRelease::s_setupExitCode = -1;

TEST_F(InstalledRelease, HoldsTheStagedFilesAShortcutAndAnAddRemoveEntry) {
  std::vector<std::string> expected = FilesUnder(PackageFolder() + "\\RoroVozaririd");
  expected.push_back("uninstall.exe");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesUnder(kInstallFolder), expected);

  const std::string program = std::string(kInstallFolder) + "\\RoroVozaririd.exe";
  EXPECT_EQ(ShortcutTarget(StartMenuShortcut()), program);
  const std::pair<const char*, std::string> entry[] = {
      {"DisplayName", "RoroVozaririd"},
      {"DisplayVersion", FileVersion(program)},
      {"Publisher", "Brimvale Studio"},
      {"InstallLocation", kInstallFolder},
      {"UninstallString", '"' + std::string(kInstallFolder) + "\\uninstall.exe\""},
  };
  for (const auto& [name, value] : entry) EXPECT_EQ(UninstallValue(name), value) << name;
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
    ASSERT_TRUE(driver.Start(std::string(kInstallFolder) + "\\RoroVozaririd.exe"));
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
    EXPECT_FALSE(IsWindow(options)) << "Cancel left the options open";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.WaitForExit(kTimeoutMs)) << c.language;
  }
}

HWND FindDescendant(HWND parent, const char* className) {
  HWND child = FindWindowExA(parent, nullptr, className, nullptr);
  for (HWND c = GetWindow(parent, GW_CHILD); !child && c; c = GetWindow(c, GW_HWNDNEXT)) {
    child = FindDescendant(c, className);
  }
  return child;
}

// The help viewer started as the program's Help command starts it shows the
// installed help file with its table of contents.
TEST_F(InstalledRelease, HelpOpensTheHelpWindow) {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  ProgramDriver viewer;
  ASSERT_TRUE(viewer.Start(std::string(windows) + "\\hh.exe",
                           std::string(kInstallFolder) + "\\help.chm::/Introduction.htm"));
  HWND help = viewer.WaitForWindow("RoroVozaririd Help", kTimeoutMs);
  ASSERT_NE(help, nullptr) << "no help window";
  HWND contents = FindDescendant(help, WC_TREEVIEWA);
  ASSERT_NE(contents, nullptr) << "no table of contents";
  EXPECT_GT(SendMessageA(contents, TVM_GETCOUNT, 0, 0), 0);
  Settle(help);
  EXPECT_TRUE(
      ProgramDriver::SaveScreenshot(help, ProgramDriver::ScreenshotFolder() + "\\help.bmp"));
}

// Each case installs, adds a file of the user's own and stored settings, and
// uninstalls silently.
TEST(Uninstaller, RemovesWhatSetupInstalledAndTheSettingsOnlyWhenAsked) {
  struct Case {
    const char* arguments;
    bool settingsKept;
  };
  const Case cases[] = {{"/S", true}, {"/S /REMOVESETTINGS", false}};
  CoInitialize(nullptr);
  for (const Case& c : cases) {
    ASSERT_EQ(RunToEnd(SetupProgram(), std::string("/S /D=") + kInstallFolder), 0);
    AppProfile settings("BrimvaleStudio", "RoroVozaririd");
    ASSERT_TRUE(settings.WriteString("Option", "CurrentLanguage", "French"));
    const std::string ownFile = std::string(kInstallFolder) + "\\language\\Mine.ini";
    HANDLE own = CreateFileA(ownFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(own, INVALID_HANDLE_VALUE);
    CloseHandle(own);

    ASSERT_TRUE(UninstallAndWait(c.arguments)) << c.arguments;
    EXPECT_EQ(FilesUnder(kInstallFolder), std::vector<std::string>{"language\\Mine.ini"})
        << c.arguments;
    EXPECT_FALSE(Exists(StartMenuShortcut())) << c.arguments;
    EXPECT_EQ(settings.GetString("Option", "CurrentLanguage", "<removed>"),
              c.settingsKept ? "French" : "<removed>")
        << c.arguments;

    DeleteFileA(ownFile.c_str());
    RemoveDirectoryA((std::string(kInstallFolder) + "\\language").c_str());
    RemoveDirectoryA(kInstallFolder);
  }
  CoUninitialize();
}

}  // namespace
