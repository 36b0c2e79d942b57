#include "standins/base/ClassFactory.h"

#include "standins/base/ComObject.h"

namespace standin {

namespace {

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const ClassEntry& entry) : m_entry(entry) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory)
      return GetInterface(static_cast<IClassFactory*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STANDIN_REFCOUNTED_OBJECT

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return m_entry.create(riid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      ModuleCount::Add();
    else
      ModuleCount::Remove();
    return S_OK;
  }

 private:
  RefCount m_refs;
  const ClassEntry& m_entry;
};

}  // namespace

HRESULT CreateClassFactory(const ClassEntry& entry, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  auto* factory = new (std::nothrow) ClassFactory(entry);
  if (!factory) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(riid, object);
  factory->Release();
  return hr;
}

}  // namespace standin
