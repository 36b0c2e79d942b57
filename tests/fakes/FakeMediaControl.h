#pragma once
// A media control that runs and stops nothing; Run and Stop go through the
// call log (S_OK unless planned otherwise). For reference-count and order
// tests.

#include <dshow.h>

#include "fakes/ComFake.h"

class FakeMediaControl final : public DispatchFake<IMediaControl> {
 public:
  FakeMediaControl(std::string name, std::vector<std::string>* log)
      : DispatchFake(IID_IMediaControl, std::move(name), log) {}

  STDMETHODIMP Run() override { return Call("Run"); }
  STDMETHODIMP Pause() override { return E_NOTIMPL; }
  STDMETHODIMP Stop() override { return Call("Stop"); }
  STDMETHODIMP GetState(LONG, OAFilterState*) override { return E_NOTIMPL; }
  STDMETHODIMP RenderFile(BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP AddSourceFilter(BSTR, IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_FilterCollection(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_RegFilterCollection(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP StopWhenReady() override { return E_NOTIMPL; }
};
