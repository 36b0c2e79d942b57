#include "fakes/FakeWmMutualExclusion.h"

#include <algorithm>

FakeWmMutualExclusion::FakeWmMutualExclusion(std::string name, FakeWmCallLog& log)
    : ComFake(__uuidof(IWMMutualExclusion), std::move(name), nullptr) {
  calls = &log;
}

STDMETHODIMP FakeWmMutualExclusion::GetStreams(WORD* numbers, WORD* count) {
  if (!count) return E_POINTER;
  if (numbers) std::copy_n(streams.begin(), std::min<size_t>(*count, streams.size()), numbers);
  *count = static_cast<WORD>(streams.size());
  return S_OK;
}

STDMETHODIMP FakeWmMutualExclusion::AddStream(WORD number) {
  HRESULT hr = Call("AddStream", std::to_string(number));
  if (SUCCEEDED(hr)) streams.push_back(number);
  return hr;
}

STDMETHODIMP FakeWmMutualExclusion::GetType(GUID* value) {
  if (!value) return E_POINTER;
  *value = type;
  return S_OK;
}

STDMETHODIMP FakeWmMutualExclusion::SetType(REFGUID value) {
  HRESULT hr = Call("SetType");
  if (SUCCEEDED(hr)) type = value;
  return hr;
}
