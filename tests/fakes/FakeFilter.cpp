#include "fakes/FakeFilter.h"

FakeFilter::FakeFilter(std::string name, std::vector<std::string>* log)
    : m_name(std::move(name)), m_log(log) {}

STDMETHODIMP FakeFilter::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IPersist || riid == IID_IMediaFilter ||
      riid == IID_IBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FakeFilter::AddRef() { return ++m_refs; }

// The test owns the object: the count may reach 0 without deleting it.
STDMETHODIMP_(ULONG) FakeFilter::Release() {
  if (m_log) m_log->push_back(m_name + " released");
  return m_refs ? --m_refs : 0;
}
