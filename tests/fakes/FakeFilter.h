#pragma once
// A filter object for reference-count tests: it counts its references and
// notes in a log when each of them goes. Every filter operation fails with
// E_NOTIMPL.

#include <dshow.h>

#include "fakes/ComFake.h"

class FakeFilter final : public ComFake<IBaseFilter> {
 public:
  // name appears in the log as "<name> released" for each Release.
  FakeFilter(std::string name, std::vector<std::string>* log)
      : ComFake(IID_IBaseFilter, std::move(name), log) {}

  // IPersist
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  // IMediaFilter
  STDMETHODIMP Stop() override { return E_NOTIMPL; }
  STDMETHODIMP Pause() override { return E_NOTIMPL; }
  STDMETHODIMP Run(REFERENCE_TIME) override { return E_NOTIMPL; }
  STDMETHODIMP GetState(DWORD, FILTER_STATE*) override { return E_NOTIMPL; }
  STDMETHODIMP SetSyncSource(IReferenceClock*) override { return E_NOTIMPL; }
  STDMETHODIMP GetSyncSource(IReferenceClock**) override { return E_NOTIMPL; }
  // IBaseFilter
  STDMETHODIMP EnumPins(IEnumPins**) override { return E_NOTIMPL; }
  STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
  STDMETHODIMP QueryFilterInfo(FILTER_INFO*) override { return E_NOTIMPL; }
  STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

 protected:
  bool IsBaseInterface(REFIID riid) const override {
    return riid == IID_IPersist || riid == IID_IMediaFilter;
  }
};
