// The COM entry points of a stand-in DLL, over the DLL's class table.
// Compiled into each stand-in DLL; exported through standin.def.

#include <windows.h>

#include "standins/base/ClassFactory.h"
#include "standins/base/ComObject.h"
#include "standins/base/Module.h"
#include "standins/base/Registration.h"

namespace {

// This DLL's path, for InprocServer32.
bool ThisDllPath(wchar_t* path, DWORD size) {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&ThisDllPath), &self))
    return false;
  const DWORD length = GetModuleFileNameW(self, path, size);
  return length > 0 && length < size;
}

HRESULT RegisterClassEntry(const standin::ClassEntry& entry, const wchar_t* dllPath) {
  HRESULT hr = standin::RegisterInprocServer(*entry.clsid, entry.name, dllPath);
  if (SUCCEEDED(hr) && entry.filter)
    hr = standin::RegisterFilter(*entry.clsid, entry.name, *entry.filter, entry.category);
  if (SUCCEEDED(hr) && entry.registerExtra) hr = entry.registerExtra(true);
  return hr;
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const standin::ClassTable& table = standin::DllClasses();
  for (size_t i = 0; i < table.count; ++i)
    if (*table.entries[i].clsid == clsid)
      return standin::CreateClassFactory(table.entries[i], riid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return standin::ModuleCount::Idle() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  wchar_t dllPath[MAX_PATH];
  if (!ThisDllPath(dllPath, MAX_PATH)) return E_FAIL;
  const standin::ClassTable& table = standin::DllClasses();
  for (size_t i = 0; i < table.count; ++i) {
    HRESULT hr = RegisterClassEntry(table.entries[i], dllPath);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

// Every class is unregistered, whatever fails on the way; the first failure is returned.
STDAPI DllUnregisterServer() {
  HRESULT result = S_OK;
  const standin::ClassTable& table = standin::DllClasses();
  for (size_t i = 0; i < table.count; ++i) {
    const standin::ClassEntry& entry = table.entries[i];
    HRESULT steps[] = {
        entry.registerExtra ? entry.registerExtra(false) : S_OK,
        entry.filter ? standin::UnregisterFilter(*entry.clsid, entry.category) : S_OK,
        standin::UnregisterInprocServer(*entry.clsid),
    };
    for (HRESULT hr : steps)
      if (FAILED(hr) && SUCCEEDED(result)) result = hr;
  }
  return result;
}
