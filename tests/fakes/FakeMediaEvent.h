#pragma once
// A media event source without events; for reference-count and order tests.

#include <dshow.h>

#include "fakes/ComFake.h"

class FakeMediaEvent final : public DispatchFake<IMediaEventEx> {
 public:
  FakeMediaEvent(std::string name, std::vector<std::string>* log)
      : DispatchFake(IID_IMediaEventEx, std::move(name), log) {}

  // IMediaEvent
  STDMETHODIMP GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetEvent(LONG*, LONG_PTR*, LONG_PTR*, LONG) override { return E_ABORT; }
  STDMETHODIMP WaitForCompletion(LONG, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP CancelDefaultHandling(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP RestoreDefaultHandling(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP FreeEventParams(LONG, LONG_PTR, LONG_PTR) override { return S_OK; }
  // IMediaEventEx
  STDMETHODIMP SetNotifyWindow(OAHWND, LONG, LONG_PTR) override { return E_NOTIMPL; }
  STDMETHODIMP SetNotifyFlags(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetNotifyFlags(LONG*) override { return E_NOTIMPL; }

 protected:
  bool IsBaseInterface(REFIID riid) const override {
    return riid == IID_IDispatch || riid == IID_IMediaEvent;
  }
};
