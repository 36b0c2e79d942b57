#pragma once
// Basic video that reports a planned picture size and frame time, or planned
// failures.

#include <dshow.h>

#include "fakes/ComFake.h"

class FakeBasicVideo final : public DispatchFake<IBasicVideo> {
 public:
  FakeBasicVideo(std::string name, std::vector<std::string>* log)
      : DispatchFake(IID_IBasicVideo, std::move(name), log) {}

  HRESULT sizeResult = S_OK;
  LONG width = 0;   // pixels
  LONG height = 0;  // pixels
  HRESULT frameTimeResult = S_OK;
  REFTIME frameTime = 0;  // seconds

  STDMETHODIMP GetVideoSize(LONG* w, LONG* h) override {
    if (FAILED(sizeResult)) return sizeResult;
    *w = width;
    *h = height;
    return sizeResult;
  }
  STDMETHODIMP get_AvgTimePerFrame(REFTIME* value) override {
    if (SUCCEEDED(frameTimeResult)) *value = frameTime;
    return frameTimeResult;
  }

  STDMETHODIMP get_BitRate(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP get_BitErrorRate(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP get_VideoWidth(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP get_VideoHeight(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_SourceLeft(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_SourceLeft(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_SourceWidth(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_SourceWidth(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_SourceTop(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_SourceTop(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_SourceHeight(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_SourceHeight(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_DestinationLeft(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_DestinationLeft(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_DestinationWidth(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_DestinationWidth(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_DestinationTop(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_DestinationTop(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_DestinationHeight(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_DestinationHeight(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetSourcePosition(LONG, LONG, LONG, LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetSourcePosition(LONG*, LONG*, LONG*, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetDefaultSourcePosition() override { return E_NOTIMPL; }
  STDMETHODIMP SetDestinationPosition(LONG, LONG, LONG, LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetDestinationPosition(LONG*, LONG*, LONG*, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetDefaultDestinationPosition() override { return E_NOTIMPL; }
  STDMETHODIMP GetVideoPaletteEntries(LONG, LONG, LONG*, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetCurrentImage(LONG*, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP IsUsingDefaultSource() override { return E_NOTIMPL; }
  STDMETHODIMP IsUsingDefaultDestination() override { return E_NOTIMPL; }
};
