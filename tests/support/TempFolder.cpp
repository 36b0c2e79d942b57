#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  static int counter = 0;
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  m_path = std::string(temp) + "test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
  RemoveTree(m_path);
  CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

void TempFolder::Write(const std::string& relativePath, const std::string& bytes) const {
  std::string path = m_path + "\\" + relativePath;
  for (size_t slash = path.find('\\', m_path.size() + 1); slash != std::string::npos;
       slash = path.find('\\', slash + 1))
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}
