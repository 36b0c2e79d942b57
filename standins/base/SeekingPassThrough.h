#pragma once
// IMediaSeeking that answers the time-format questions itself (media time, in
// 100 ns units, is the only format) and passes everything else to the
// upstream peer of a pin: what a filter that neither sources nor paces a
// stream does with seeking.

#include <dshow.h>
#include <wrl/client.h>

#include <functional>

namespace standin {

class Pin;

class SeekingPassThrough : public IMediaSeeking {
 public:
  // outer (not owned) gives this interface its identity and reference count;
  // source names the pin whose upstream peer seeks, or nullptr when none.
  // position, when given, answers GetCurrentPosition instead of upstream: a
  // writer's position is how far it has written.
  SeekingPassThrough(IUnknown& outer, std::function<Pin*()> source,
                     std::function<LONGLONG()> position = nullptr);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetCapabilities(DWORD* capabilities) override;
  STDMETHODIMP CheckCapabilities(DWORD* capabilities) override;
  STDMETHODIMP IsFormatSupported(const GUID* format) override;
  STDMETHODIMP QueryPreferredFormat(GUID* format) override;
  STDMETHODIMP GetTimeFormat(GUID* format) override;
  STDMETHODIMP IsUsingTimeFormat(const GUID* format) override;
  STDMETHODIMP SetTimeFormat(const GUID* format) override;
  STDMETHODIMP GetDuration(LONGLONG* duration) override;
  STDMETHODIMP GetStopPosition(LONGLONG* stop) override;
  STDMETHODIMP GetCurrentPosition(LONGLONG* current) override;
  STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                 const GUID* sourceFormat) override;
  STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                            DWORD stopFlags) override;
  STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override;
  STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
  STDMETHODIMP SetRate(double rate) override;
  STDMETHODIMP GetRate(double* rate) override;
  STDMETHODIMP GetPreroll(LONGLONG* preroll) override;

 private:
  // The upstream peer's IMediaSeeking; E_NOTIMPL when there is none.
  HRESULT Upstream(Microsoft::WRL::ComPtr<IMediaSeeking>& seeking);

  IUnknown& m_outer;
  std::function<Pin*()> m_source;
  std::function<LONGLONG()> m_position;
};

}  // namespace standin
