#pragma once
// A media event source without events that keeps the window it is told to
// notify; for reference-count and order tests.

#include <dshow.h>

#include "fakes/ComFake.h"

class FakeMediaEvent final : public DispatchFake<IMediaEventEx> {
 public:
  FakeMediaEvent(std::string name, std::vector<std::string>* log)
      : DispatchFake(IID_IMediaEventEx, std::move(name), log) {}

  HRESULT notifyResult = S_OK;  // what SetNotifyWindow answers
  OAHWND notifyWindow = 0;      // what it was last given
  LONG notifyMessage = 0;

  // IMediaEvent
  STDMETHODIMP GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetEvent(LONG*, LONG_PTR*, LONG_PTR*, LONG) override { return E_ABORT; }
  STDMETHODIMP WaitForCompletion(LONG, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP CancelDefaultHandling(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP RestoreDefaultHandling(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP FreeEventParams(LONG, LONG_PTR, LONG_PTR) override { return S_OK; }
  // IMediaEventEx
  STDMETHODIMP SetNotifyWindow(OAHWND window, LONG message, LONG_PTR) override {
    notifyWindow = window;
    notifyMessage = message;
    return notifyResult;
  }
  STDMETHODIMP SetNotifyFlags(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetNotifyFlags(LONG*) override { return E_NOTIMPL; }

 protected:
  bool IsBaseInterface(REFIID riid) const override {
    return riid == IID_IDispatch || riid == IID_IMediaEvent;
  }
};
