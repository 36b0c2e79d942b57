#pragma once
// A FileSink on a file opened with CreateFileW. Writes go through the file
// pointer, moved only when a write is not where the last one ended: a write
// that names its offset in an OVERLAPPED costs a completion notice per call.

#include <windows.h>

#include "standins/mux/FileSink.h"

class Win32FileSink : public FileSink {
 public:
  Win32FileSink() = default;
  ~Win32FileSink() override;
  Win32FileSink(const Win32FileSink&) = delete;
  Win32FileSink& operator=(const Win32FileSink&) = delete;

  // Creates the file, or opens the one there when overwrite is false (its old
  // bytes beyond what is written go at Truncate).
  HRESULT Open(const wchar_t* path, bool overwrite);
  int32_t WriteAt(uint64_t offset, const void* data, size_t size) override;
  int32_t Truncate(uint64_t size) override;

 private:
  int32_t MoveTo(uint64_t offset);

  HANDLE m_file = INVALID_HANDLE_VALUE;
  uint64_t m_position = 0;  // of the file pointer
};
