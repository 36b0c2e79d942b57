#include "e2e/ProgramDriver.h"

#include <psapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

#include "platform/Str.h"

#include "platform/Path.h"

namespace {

constexpr int kMessageBoxText = 0xFFFF;
// A program that does not answer within this time reads as empty text: the
// test fails instead of waiting for ever.
constexpr UINT kAnswerMs = 5000;

std::string TextOf(HWND window) {
  char text[1024] = "";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kAnswerMs, &copied))
    return "";
  return text;
}

struct WindowSearch {
  DWORD processId;
  const char* caption;  // nullptr: a message box
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->processId || !IsWindowVisible(hwnd)) return TRUE;
  if (search->caption ? ProgramDriver::Caption(hwnd) != search->caption
                      : !GetDlgItem(hwnd, kMessageBoxText))
    return TRUE;
  search->found = hwnd;
  return FALSE;
}

// Wine 8 answers GetProcessHandleCount with 0 and GetGuiResources with
// ERROR_CALL_NOT_IMPLEMENTED, and leaves PrivateUsage at 0: where the
// documented counter says nothing, the same figure is read another way.

template <class Function>
Function NtdllFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

// The handles of process id in the system's handle list.
DWORD ListedHandles(DWORD id) {
  using Query = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  const auto query = NtdllFunction<Query>("NtQuerySystemInformation");
  std::vector<char> buffer(1 << 20);
  ULONG needed = 0;
  NTSTATUS status = 0;
  while (query && (status = query(SystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed)) ==
                      static_cast<NTSTATUS>(0xC0000004))  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(buffer.size() * 2);
  if (!query || status != 0) return 0;
  const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  DWORD count = 0;
  for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == id ? 1 : 0;
  return count;
}

// The used entries of the GDI handle table that the process's PEB points to
// (at 0xF8 in the 64-bit PEB); Wine keeps one such table per process.
DWORD TabledGdiObjects(HANDLE process) {
  struct Entry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    BYTE type;  // 0: unused
    BYTE flags;
    UINT64 user;
  };
  constexpr size_t kEntries = 0x10000;
  constexpr size_t kTableOffset = 0xF8;
  using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = NtdllFunction<Query>("NtQueryInformationProcess");
  PROCESS_BASIC_INFORMATION basic = {};
  void* table = nullptr;
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
      !ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + kTableOffset,
                         &table, sizeof table, nullptr) ||
      !table)
    return 0;
  std::vector<Entry> entries(kEntries);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(Entry), nullptr))
    return 0;
  DWORD used = 0;
  for (const Entry& entry : entries) used += entry.type ? 1 : 0;
  return used;
}

DWORD ThreadsOf(DWORD id) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 thread = {sizeof thread};
  DWORD count = 0;
  for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
    count += thread.th32OwnerProcessID == id ? 1 : 0;
  CloseHandle(snapshot);
  return count;
}

}  // namespace

ProgramDriver::~ProgramDriver() { Kill(); }

void ProgramDriver::Kill() {
  if (!m_process.hProcess) return;
  if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_process.hProcess, 99);
    WaitForSingleObject(m_process.hProcess, 5000);
  }
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
  m_process = {};
}

std::string ProgramDriver::ProgramPath() { return path::ModuleFolder() + "\\RoroVozaririd.exe"; }

std::string ProgramDriver::ScreenshotFolder() {
  std::string folder = path::ModuleFolder() + "\\..\\screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool ProgramDriver::Start(const std::string& exePath, const std::string& arguments) {
  STARTUPINFOA startup = {sizeof startup};
  std::string text = '"' + exePath + '"';
  if (!arguments.empty()) text += ' ' + arguments;
  std::vector<char> commandLine(text.begin(), text.end());
  commandLine.push_back('\0');
  return CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &m_process) != FALSE;
}

HWND ProgramDriver::WaitForWindow(const char* caption, DWORD timeoutMs, DWORD pollMs) const {
  DWORD start = GetTickCount();
  do {
    WindowSearch search = {m_process.dwProcessId, caption, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(pollMs);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

HWND ProgramDriver::WaitForMessageBox(DWORD timeoutMs) const {
  return WaitForWindow(nullptr, timeoutMs);
}

bool ProgramDriver::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
  if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(m_process.hProcess, exitCode);
  return true;
}

bool ProgramDriver::Close(HWND window, DWORD timeoutMs) const {
  PostMessageA(window, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  return WaitForExit(timeoutMs, &exitCode) && exitCode == 0;
}

// Windows copies a posted HDROP into the receiving process; Wine 8 does not
// (measured: the program reads its own memory at that address). So the block
// is written straight into the program's memory, where the handle of a fixed
// global memory block is its address. The pages stay until the program ends.
bool ProgramDriver::DropFiles(HWND window, const std::vector<std::string>& paths) const {
  std::wstring names;
  for (const std::string& path : paths) names += str::ToWide(path.c_str()) + L'\0';
  names += L'\0';
  std::vector<char> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  DROPFILES header = {};
  header.pFiles = sizeof header;
  header.fWide = TRUE;
  memcpy(block.data(), &header, sizeof header);
  memcpy(block.data() + sizeof header, names.data(), names.size() * sizeof(wchar_t));

  void* remote = VirtualAllocEx(m_process.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
  SIZE_T written = 0;
  if (!remote ||
      !WriteProcessMemory(m_process.hProcess, remote, block.data(), block.size(), &written)) {
    return false;
  }
  return PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
}

ProcessResources ResourcesOf(HANDLE process, DWORD id) {
  ProcessResources r;
  if (!GetProcessHandleCount(process, &r.handles) || r.handles == 0) r.handles = ListedHandles(id);
  SetLastError(ERROR_SUCCESS);
  r.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  if (r.gdiObjects == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED)
    r.gdiObjects = TabledGdiObjects(process);
  r.threads = ThreadsOf(id);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    // The commit charge, which the documentation gives as the same figure.
    r.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
  }
  return r;
}

ProcessResources ProgramDriver::Resources() const {
  return ResourcesOf(m_process.hProcess, m_process.dwProcessId);
}

std::string ProgramDriver::Text(HWND window, int id) { return TextOf(GetDlgItem(window, id)); }

std::string ProgramDriver::Caption(HWND window) { return TextOf(window); }

bool ProgramDriver::Visible(HWND window, int id) {
  return IsWindowVisible(GetDlgItem(window, id)) != FALSE;
}

void ProgramDriver::Click(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

namespace {

// The screen's picture of r as 24-bit bottom-up rows of stride bytes; empty
// when it could not be read.
std::vector<char> ScreenPicture(const RECT& r, int stride) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, width, height, 1, 24, BI_RGB};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  std::vector<char> picture;
  if (BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY)) {
    GdiFlush();
    const char* first = static_cast<const char*>(bits);
    picture.assign(first, first + static_cast<size_t>(stride) * static_cast<size_t>(height));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

}  // namespace

// The window paints now (its thread answers before RedrawWindow returns), but
// the display shows it a moment later: the picture is taken once two looks
// 100 ms apart agree.
bool ProgramDriver::SaveScreenshot(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> picture = ScreenPicture(r, stride), before;
  for (int look = 0; look < 50 && (picture.empty() || picture != before); ++look) {
    Sleep(100);
    before = std::move(picture);
    picture = ScreenPicture(r, stride);
  }
  if (picture.empty()) return false;

  BITMAPINFOHEADER header = {sizeof header, width, height, 1, 24, BI_RGB};
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(picture.size());
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  const bool written =
      WriteFile(out, &file, sizeof file, &n, nullptr) &&
      WriteFile(out, &header, sizeof header, &n, nullptr) &&
      WriteFile(out, picture.data(), static_cast<DWORD>(picture.size()), &n, nullptr);
  CloseHandle(out);
  return written;
}
