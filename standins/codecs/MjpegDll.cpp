// The MJPEG codec's DLL: the Video for Windows driver (DriverProc, installed
// as vidc.MJPG) and its DirectShow compressor filter in the video compressor
// category.

#include "standins/base/Module.h"
#include "standins/codecs/CodecClsids.h"
#include "standins/codecs/MjpegCompressor.h"
#include "standins/codecs/MjpegDriver.h"

namespace {

HRESULT InstallDriver(bool install) {
  char path[MAX_PATH] = "";
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&InstallDriver), &self))
    return HRESULT_FROM_WIN32(GetLastError());
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL;
  if (!install) return MjpegDriver::Remove() ? S_OK : S_FALSE;
  return MjpegDriver::Install(path) ? S_OK : E_FAIL;
}

// Only ever chosen by name: never pulled into a graph by itself.
const REGFILTER2 kFilter = {1, MERIT_DO_NOT_USE, {{0, nullptr}}};

const standin::ClassEntry kClasses[] = {
    {&kMjpegCompressorClsid, L"MJPEG Compressor", standin::CreateObject<MjpegCompressor>, &kFilter,
     InstallDriver, &CLSID_VideoCompressorCategory},
};

}  // namespace

const standin::ClassTable& standin::DllClasses() {
  static const ClassTable table{kClasses, sizeof kClasses / sizeof kClasses[0]};
  return table;
}
