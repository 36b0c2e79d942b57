#pragma once
// A filter graph that builds nothing: it hands out the interfaces the test
// offers (IMediaSeeking, IBasicVideo, IMediaControl ...) and fails the rest.

#include <dshow.h>

#include <utility>

#include "fakes/ComFake.h"

class FakeGraphBuilder final : public ComFake<IGraphBuilder> {
 public:
  FakeGraphBuilder(std::string name, std::vector<std::string>* log)
      : ComFake(IID_IGraphBuilder, std::move(name), log) {}

  // part (not owned) answers queries for iid.
  void Offer(REFIID iid, IUnknown* part) { m_parts.emplace_back(iid, part); }

  // IFilterGraph
  STDMETHODIMP AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
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
};
