#include "fakes/FakeWmMutualExclusion.h"

#include <algorithm>

FakeWmMutualExclusion::FakeWmMutualExclusion(std::string name, FakeWmCallLog& log)
    : m_name(std::move(name)), m_log(log) {}

STDMETHODIMP FakeWmMutualExclusion::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == __uuidof(IWMStreamList) ||
      riid == __uuidof(IWMMutualExclusion)) {
    *object = static_cast<IWMMutualExclusion*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP FakeWmMutualExclusion::GetStreams(WORD* numbers, WORD* count) {
  if (!count) return E_POINTER;
  if (numbers) std::copy_n(streams.begin(), std::min<size_t>(*count, streams.size()), numbers);
  *count = static_cast<WORD>(streams.size());
  return S_OK;
}

STDMETHODIMP FakeWmMutualExclusion::AddStream(WORD number) {
  HRESULT hr = m_log.Call(m_name, "AddStream", std::to_string(number));
  if (SUCCEEDED(hr)) streams.push_back(number);
  return hr;
}

STDMETHODIMP FakeWmMutualExclusion::GetType(GUID* value) {
  if (!value) return E_POINTER;
  *value = type;
  return S_OK;
}

STDMETHODIMP FakeWmMutualExclusion::SetType(REFGUID value) {
  HRESULT hr = m_log.Call(m_name, "SetType");
  if (SUCCEEDED(hr)) type = value;
  return hr;
}
