#include "standins/mux/Win32FileSink.h"

namespace {

HRESULT LastError() {
  const DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

Win32FileSink::~Win32FileSink() {
  if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
}

// An existing file kept (not overwritten) still holds only what is written:
// a file cut off by a crash must not read on into the old one's bytes.
HRESULT Win32FileSink::Open(const wchar_t* path, bool overwrite) {
  if (m_file != INVALID_HANDLE_VALUE) return E_UNEXPECTED;
  m_file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       overwrite ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_file == INVALID_HANDLE_VALUE) return LastError();
  return SetEndOfFile(m_file) ? S_OK : LastError();
}

int32_t Win32FileSink::WriteAt(uint64_t offset, const void* data, size_t size) {
  int32_t status = MoveTo(offset);
  if (status != S_OK) return status;
  const auto* bytes = static_cast<const BYTE*>(data);
  while (size > 0) {
    const DWORD part = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    const BOOL wrote = WriteFile(m_file, bytes, part, &written, nullptr);
    m_position += written;
    if (!wrote) return LastError();
    if (written == 0) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    bytes += written;
    size -= written;
  }
  return S_OK;
}

int32_t Win32FileSink::Truncate(uint64_t size) {
  const int32_t status = MoveTo(size);
  if (status != S_OK) return status;
  return SetEndOfFile(m_file) ? S_OK : LastError();
}

int32_t Win32FileSink::MoveTo(uint64_t offset) {
  if (offset == m_position) return S_OK;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(m_file, to, nullptr, FILE_BEGIN)) return LastError();
  m_position = offset;
  return S_OK;
}
