#include "standins/base/Registration.h"

#include <uuids.h>
#include <wrl/client.h>

#include <cwchar>
#include <string>

namespace standin {

namespace {

std::wstring ClassKeyPath(const CLSID& clsid) {
  wchar_t text[40] = L"";
  StringFromGUID2(clsid, text, 40);
  return std::wstring(L"CLSID\\") + text;
}

LSTATUS SetText(HKEY key, const wchar_t* name, const wchar_t* value) {
  const DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
}

HRESULT WriteKey(const std::wstring& path, const wchar_t* name, const wchar_t* value,
                 const wchar_t* valueName2 = nullptr, const wchar_t* value2 = nullptr) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                   nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = SetText(key, name, value);
  if (status == ERROR_SUCCESS && valueName2) status = SetText(key, valueName2, value2);
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

// The filter mapper needs COM on the registering thread; regsvr32 may not
// have started it.
class ComScope {
 public:
  ComScope() : m_hr(CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(m_hr)) CoUninitialize();
  }

 private:
  HRESULT m_hr;
};

}  // namespace

HRESULT RegisterInprocServer(const CLSID& clsid, const wchar_t* name, const wchar_t* dllPath) {
  const std::wstring path = ClassKeyPath(clsid);
  HRESULT hr = WriteKey(path, nullptr, name);
  if (FAILED(hr)) return hr;
  return WriteKey(path + L"\\InprocServer32", nullptr, dllPath, L"ThreadingModel", L"Both");
}

HRESULT UnregisterInprocServer(const CLSID& clsid) {
  LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyPath(clsid).c_str());
  return status == ERROR_FILE_NOT_FOUND ? S_FALSE : HRESULT_FROM_WIN32(status);
}

HRESULT RegisterFilter(const CLSID& clsid, const wchar_t* name, const REGFILTER2& filter,
                       const CLSID* category) {
  ComScope com;
  Microsoft::WRL::ComPtr<IFilterMapper2> mapper;
  HRESULT hr =
      CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
  if (FAILED(hr)) return hr;
  return mapper->RegisterFilter(
      clsid, name, nullptr, category ? category : &CLSID_LegacyAmFilterCategory, nullptr, &filter);
}

HRESULT UnregisterFilter(const CLSID& clsid, const CLSID* category) {
  ComScope com;
  Microsoft::WRL::ComPtr<IFilterMapper2> mapper;
  HRESULT hr =
      CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
  if (FAILED(hr)) return hr;
  return mapper->UnregisterFilter(category ? category : &CLSID_LegacyAmFilterCategory, nullptr,
                                  clsid);
}

}  // namespace standin
