#include "support/LinuxCommand.h"

#include <windows.h>

#include "platform/Str.h"
#include "support/FileContents.h"
#include "support/TempFolder.h"

std::string UnixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return "";
  char* unix = toUnix(str::ToWide(windowsPath.c_str()).c_str());
  if (!unix) return "";
  std::string path = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

LinuxCommandResult RunLinuxCommand(const std::string& command, unsigned timeoutMs) {
  LinuxCommandResult result;
  TempFolder folder;
  const std::string out = UnixPath(folder.Path() + "\\out");
  const std::string status = UnixPath(folder.Path() + "\\status");
  // The status file appears whole, by rename, once the command is done.
  folder.Write("run.sh", "echo $$ > " + ShellQuote(UnixPath(folder.Path() + "\\pid")) + "\n{ " +
                             command + "\n} > " + ShellQuote(out) + " 2>&1\necho $? > " +
                             ShellQuote(status + ".part") + "\nmv " + ShellQuote(status + ".part") +
                             " " + ShellQuote(status) + "\n");
  std::string line = "/bin/sh " + UnixPath(folder.Path() + "\\run.sh");
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return result;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const std::string statusFile = folder.Path() + "\\status";
  for (unsigned waited = 0; !Exists(statusFile) && waited < timeoutMs; waited += 20) Sleep(20);
  if (!Exists(statusFile)) {
    // Ends the shell and the command it started, by their process ids.
    const std::string pid = std::to_string(std::stoi("0" + ReadFile(folder.Path() + "\\pid")));
    if (pid != "0") RunLinuxCommand("pkill -P " + pid + "; kill " + pid, 10000);
    return result;
  }
  result.finished = true;
  result.exitCode = std::stoi("0" + ReadFile(statusFile));
  result.output = ReadFile(folder.Path() + "\\out");
  return result;
}
