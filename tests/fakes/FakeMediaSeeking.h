#pragma once
// Seeking that reports a planned stop position, or a planned failure, and a
// planned current position.

#include <dshow.h>

#include "fakes/ComFake.h"

class FakeMediaSeeking final : public ComFake<IMediaSeeking> {
 public:
  FakeMediaSeeking(std::string name, std::vector<std::string>* log)
      : ComFake(IID_IMediaSeeking, std::move(name), log) {}

  HRESULT stopResult = S_OK;
  LONGLONG stop = 0;      // 100 ns units
  LONGLONG current = -1;  // 100 ns units; GetCurrentPosition fails while negative

  STDMETHODIMP GetStopPosition(LONGLONG* value) override {
    if (SUCCEEDED(stopResult)) *value = stop;
    return stopResult;
  }

  STDMETHODIMP GetCapabilities(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP IsFormatSupported(const GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryPreferredFormat(GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTimeFormat(GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP IsUsingTimeFormat(const GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP SetTimeFormat(const GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetDuration(LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetCurrentPosition(LONGLONG* value) override {
    if (current < 0) return E_NOTIMPL;
    *value = current;
    return S_OK;
  }
  STDMETHODIMP ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetRate(double) override { return E_NOTIMPL; }
  STDMETHODIMP GetRate(double*) override { return E_NOTIMPL; }
  STDMETHODIMP GetPreroll(LONGLONG*) override { return E_NOTIMPL; }
};
