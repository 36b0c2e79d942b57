#pragma once
// Runs a command on the Linux side of Wine (a test tool such as ffprobe). Wine
// starts Linux programs but passes no standard handles and no exit code, so the
// command runs in a shell script that sends its output and status to files.

#include <string>

struct LinuxCommandResult {
  bool finished = false;  // false: it could not start or took longer than the timeout
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// command is a /bin/sh command line; quote paths with ShellQuote.
LinuxCommandResult RunLinuxCommand(const std::string& command, unsigned timeoutMs = 120000);

// The Linux path of a Windows path (which need not exist yet), or "" when Wine has none.
std::string UnixPath(const std::string& windowsPath);
// The text as one /bin/sh word.
std::string ShellQuote(const std::string& text);
