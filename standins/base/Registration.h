#pragma once
// Registry entries of the stand-in classes: the in-process server under
// HKEY_CLASSES_ROOT\CLSID (which regsvr32, run as an administrator, writes to
// the machine's classes) and the filter mapper's entry.

#include <dshow.h>

namespace standin {

// CLSID\{clsid} with the name, InprocServer32 = dllPath and ThreadingModel
// "Both": the graph creates filters on its own worker threads.
HRESULT RegisterInprocServer(const CLSID& clsid, const wchar_t* name, const wchar_t* dllPath);
HRESULT UnregisterInprocServer(const CLSID& clsid);

// The filter's entry in a category of filters (the legacy filter category
// when category is nullptr).
HRESULT RegisterFilter(const CLSID& clsid, const wchar_t* name, const REGFILTER2& filter,
                       const CLSID* category = nullptr);
HRESULT UnregisterFilter(const CLSID& clsid, const CLSID* category = nullptr);

}  // namespace standin
