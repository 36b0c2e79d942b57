#pragma once
// Reference counting for the stand-ins' COM objects, and the count of live
// objects and server locks that decides whether the DLL may be unloaded.

#include <windows.h>

namespace standin {

// Live objects plus LockServer locks of this DLL.
class ModuleCount {
 public:
  static void Add() { InterlockedIncrement(&s_count); }
  static void Remove() { InterlockedDecrement(&s_count); }
  static bool Idle() { return s_count == 0; }

 private:
  static inline volatile LONG s_count = 0;
};

// A COM object's reference count, starting at one for its creator. The
// object counts towards ModuleCount for its lifetime.
class RefCount {
 public:
  RefCount() { ModuleCount::Add(); }
  ~RefCount() { ModuleCount::Remove(); }
  RefCount(const RefCount&) = delete;
  RefCount& operator=(const RefCount&) = delete;

  ULONG Add() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  // The count left; the object deletes itself when it reaches 0.
  ULONG Drop() { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }

 private:
  volatile LONG m_refs = 1;
};

// Hands out interface pointer p for a QueryInterface, with a new reference.
template <class Interface>
HRESULT GetInterface(Interface* p, void** object) {
  p->AddRef();
  *object = p;
  return S_OK;
}

}  // namespace standin

// The IUnknown methods of an object that owns a standin::RefCount m_refs and
// answers its queries in QueryInterface.
#define STANDIN_REFCOUNTED_OBJECT                                 \
  STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Add(); } \
  STDMETHODIMP_(ULONG) Release() override {                       \
    ULONG left = m_refs.Drop();                                   \
    if (left == 0) delete this;                                   \
    return left;                                                  \
  }
