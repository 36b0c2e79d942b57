// The test support that the native tests use, on Linux: scratch folders,
// files and commands without Wine in between.
//
// The tests join Windows paths with a backslash, which Linux takes as a plain
// character of a file name: a folder's "sub\name" is a file named so beside
// the folder's own name, inside a private directory that goes whole at the end.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/ClipFolder.h"
#include "support/LinuxCommand.h"
#include "support/TempFolder.h"

namespace {

std::string PrivateDirectoryOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

}  // namespace

TempFolder::TempFolder() {
  static int counter = 0;
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() /
      ("native-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);
  m_path = (root / "folder").string();
}

TempFolder::~TempFolder() { std::filesystem::remove_all(PrivateDirectoryOf(m_path)); }

void TempFolder::Write(const std::string& relativePath, const std::string& bytes) const {
  std::ofstream(m_path + "\\" + relativePath, std::ios::binary) << bytes;
}

std::string ClipFolder::MakeFile(const std::string& name, const std::string& content) const {
  const std::string path = PathOf(name);
  std::ofstream file(path, std::ios::binary);
  file << content;
  return file.flush() ? path : std::string();
}

std::string UnixPath(const std::string& windowsPath) { return windowsPath; }

// No timeout here: ctest's own ends a test that hangs.
LinuxCommandResult RunLinuxCommand(const std::string& command, unsigned) {
  LinuxCommandResult result;
  FILE* pipe = popen(("{ " + command + "\n} 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.finished = status != -1 && WIFEXITED(status);
  result.exitCode = result.finished ? WEXITSTATUS(status) : -1;
  return result;
}
