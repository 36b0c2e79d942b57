#pragma once
// A filter graph that builds nothing: it hands out the interfaces the test
// offers (IMediaSeeking, IBasicVideo, IMediaControl ...) and fails the rest,
// and enumerates the filters the test puts in it. AddFilter, RemoveFilter and
// Disconnect go through the call log.

#include <dshow.h>

#include <algorithm>
#include <utility>

#include "fakes/ComFake.h"
#include "fakes/FakeEnum.h"
#include "fakes/FakeFilter.h"

class FakeGraphBuilder final : public ComFake<IGraphBuilder> {
 public:
  FakeGraphBuilder(std::string name, std::vector<std::string>* log)
      : ComFake(IID_IGraphBuilder, std::move(name), log) {}

  std::vector<IBaseFilter*> filters;  // not owned; in enumeration order
  HRESULT enumFailure = S_OK;         // EnumFilters fails with it

  // IFilterGraph
  STDMETHODIMP AddFilter(IBaseFilter*, LPCWSTR name) override {
    return Call("AddFilter", name ? str::ToAnsi(name) : "");
  }
  STDMETHODIMP RemoveFilter(IBaseFilter* filter) override {
    HRESULT hr = Call("RemoveFilter", FilterName(filter));
    if (SUCCEEDED(hr))
      filters.erase(std::remove(filters.begin(), filters.end(), filter), filters.end());
    return hr;
  }
  STDMETHODIMP EnumFilters(IEnumFilters** out) override {
    *out = nullptr;
    if (FAILED(enumFailure)) return enumFailure;
    *out = new FakeEnum<IEnumFilters, IBaseFilter>(filters);
    return S_OK;
  }
  STDMETHODIMP FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
  STDMETHODIMP ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP Reconnect(IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP Disconnect(IPin* pin) override {
    HRESULT hr = Call("Disconnect");
    return FAILED(hr) ? hr : pin->Disconnect();
  }
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
};
