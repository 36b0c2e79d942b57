#include "engine/ProfileManagerLoader.h"

namespace {

constexpr char kRuntimeModule[] = "wmvcore.dll";
constexpr char kCreateProfileManager[] = "WMCreateProfileManager";

HRESULT LastErrorCode() {
  DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

HRESULT CreateProfileManager(IWMProfileManager** manager) {
  return CreateProfileManagerFrom(kRuntimeModule, manager);
}

HRESULT CreateProfileManagerFrom(const char* moduleName, IWMProfileManager** manager) {
  if (!manager) return E_POINTER;
  *manager = nullptr;
  HMODULE module = LoadLibraryA(moduleName);
  if (!module) return LastErrorCode();

  using CreateFunction = HRESULT(WINAPI*)(IWMProfileManager**);
  auto create = reinterpret_cast<CreateFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, kCreateProfileManager)));
  if (!create) {
    HRESULT hr = LastErrorCode();
    FreeLibrary(module);
    return hr;
  }
  // The module stays loaded for good: the manager and every profile it makes
  // run its code, and they outlive this call.
  return create(manager);
}
