#pragma once
// An enumerator over a fixed list of filters (not owned), as a graph hands
// it out: each filter handed out carries a new reference.

#include <dshow.h>

#include <vector>

#include "fakes/ComFake.h"

class FakeEnumFilters final : public ComFake<IEnumFilters> {
 public:
  FakeEnumFilters(std::vector<IBaseFilter*> filters, std::vector<std::string>* log)
      : ComFake(IID_IEnumFilters, "filter enumerator", log), m_filters(std::move(filters)) {}

  STDMETHODIMP Next(ULONG count, IBaseFilter** out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG n = 0;
    for (; n < count && m_next < m_filters.size(); ++n, ++m_next) {
      out[n] = m_filters[m_next];
      out[n]->AddRef();
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    m_next += count;
    return m_next <= m_filters.size() ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    m_next = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumFilters**) override { return E_NOTIMPL; }

 private:
  std::vector<IBaseFilter*> m_filters;
  size_t m_next = 0;
};
