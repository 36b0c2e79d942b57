#pragma once
// What a stand-in DLL serves: its table of classes. The DLL entry points
// (DllEntryPoints.cpp, compiled into each DLL) create, register and unregister
// the classes of this table.

#include <dshow.h>

#include <cstddef>
#include <new>

namespace standin {

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* name;
  // A new object with one reference, queried for riid.
  HRESULT (*create)(REFIID riid, void** object);
  // The filter's entry in its category (merit, pins), or nullptr for a class
  // that is only a COM server.
  const REGFILTER2* filter;
  // Further registry work of the class, or nullptr: install true on
  // registration, false on unregistration.
  HRESULT (*registerExtra)(bool install);
  // The category of the filter's entry; nullptr for the legacy filter category.
  const CLSID* category = nullptr;
};

struct ClassTable {
  const ClassEntry* entries;
  size_t count;
};

// Defined by each stand-in DLL.
const ClassTable& DllClasses();

// Creates a new T (one reference) and queries it for riid; for ClassEntry::create.
template <class T>
HRESULT CreateObject(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  T* created = new (std::nothrow) T();
  if (!created) return E_OUTOFMEMORY;
  HRESULT hr = created->QueryInterface(riid, object);
  created->Release();
  return hr;
}

}  // namespace standin
