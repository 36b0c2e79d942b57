#pragma once
// A filter graph that builds nothing: it hands out the interfaces the test
// offers (IMediaSeeking, IBasicVideo, IMediaControl ...), enumerates the
// filters the test lists, and fails the rest.

#include <dshow.h>

#include <memory>
#include <utility>

#include "fakes/ComFake.h"
#include "fakes/FakeEnumFilters.h"

class FakeGraphBuilder final : public ComFake<IGraphBuilder> {
 public:
  FakeGraphBuilder(std::string name, std::vector<std::string>* log)
      : ComFake(IID_IGraphBuilder, std::move(name), log) {}

  // part (not owned) answers queries for iid.
  void Offer(REFIID iid, IUnknown* part) { m_parts.emplace_back(iid, part); }
  // filter (not owned) is enumerated after those listed before.
  void List(IBaseFilter* filter) { m_filters.push_back(filter); }
  // EnumFilters fails with failure.
  void FailEnumeration(HRESULT failure) { m_enumResult = failure; }
  // The enumerators handed out so far; they live as long as the graph.
  const std::vector<std::unique_ptr<FakeEnumFilters>>& Enumerators() const { return m_enums; }

  // IFilterGraph
  STDMETHODIMP AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFilters(IEnumFilters** filters) override {
    if (!filters) return E_POINTER;
    *filters = nullptr;
    if (FAILED(m_enumResult)) return m_enumResult;
    m_enums.push_back(std::make_unique<FakeEnumFilters>(m_filters, nullptr));
    *filters = m_enums.back().get();
    (*filters)->AddRef();
    return S_OK;
  }
  STDMETHODIMP FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
  STDMETHODIMP ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP Reconnect(IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP Disconnect(IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP SetDefaultSyncSource() override { return E_NOTIMPL; }
  // IGraphBuilder
  STDMETHODIMP Connect(IPin*, IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP Render(IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP RenderFile(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP AddSourceFilter(LPCWSTR, LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
  STDMETHODIMP SetLogFile(DWORD_PTR) override { return E_NOTIMPL; }
  STDMETHODIMP Abort() override { return E_NOTIMPL; }
  STDMETHODIMP ShouldOperationContinue() override { return E_NOTIMPL; }

 protected:
  bool IsBaseInterface(REFIID riid) const override { return riid == IID_IFilterGraph; }
  HRESULT QueryOther(REFIID riid, void** object) override {
    for (const auto& [iid, part] : m_parts)
      if (iid == riid) return part->QueryInterface(riid, object);
    return E_NOINTERFACE;
  }

 private:
  std::vector<std::pair<IID, IUnknown*>> m_parts;
  std::vector<IBaseFilter*> m_filters;
  HRESULT m_enumResult = S_OK;
  std::vector<std::unique_ptr<FakeEnumFilters>> m_enums;
};
