#pragma once
// A filter's property-page list: GetPages hands out a new array of the page
// identifiers given, which the caller frees with CoTaskMemFree.

#include <ocidl.h>
#include <objbase.h>

#include <vector>

#include "fakes/ComFake.h"

class FakePropertyPages final : public ComFake<ISpecifyPropertyPages> {
 public:
  FakePropertyPages(std::vector<CLSID> pages, std::vector<std::string>* log)
      : ComFake(IID_ISpecifyPropertyPages, "pages", log), m_pages(std::move(pages)) {}

  int GetPagesCalls() const { return m_calls; }

  STDMETHODIMP GetPages(CAUUID* pages) override {
    ++m_calls;
    if (!pages) return E_POINTER;
    pages->cElems = static_cast<ULONG>(m_pages.size());
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * (m_pages.size() + 1)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    for (size_t i = 0; i < m_pages.size(); ++i) pages->pElems[i] = m_pages[i];
    return S_OK;
  }

 private:
  std::vector<CLSID> m_pages;
  int m_calls = 0;
};
