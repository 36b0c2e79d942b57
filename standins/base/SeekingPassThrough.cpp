#include "standins/base/SeekingPassThrough.h"

#include "standins/base/Pin.h"

using Microsoft::WRL::ComPtr;

namespace standin {

SeekingPassThrough::SeekingPassThrough(IUnknown& outer, std::function<Pin*()> source,
                                       std::function<LONGLONG()> position)
    : m_outer(outer), m_source(std::move(source)), m_position(std::move(position)) {}

STDMETHODIMP SeekingPassThrough::QueryInterface(REFIID riid, void** object) {
  return m_outer.QueryInterface(riid, object);
}
STDMETHODIMP_(ULONG) SeekingPassThrough::AddRef() { return m_outer.AddRef(); }
STDMETHODIMP_(ULONG) SeekingPassThrough::Release() { return m_outer.Release(); }

HRESULT SeekingPassThrough::Upstream(ComPtr<IMediaSeeking>& seeking) {
  Pin* source = m_source ? m_source() : nullptr;
  ComPtr<IPin> peer;
  if (!source || FAILED(source->ConnectedTo(&peer))) return E_NOTIMPL;
  return peer.As(&seeking);
}

STDMETHODIMP SeekingPassThrough::IsFormatSupported(const GUID* format) {
  if (!format) return E_POINTER;
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

STDMETHODIMP SeekingPassThrough::QueryPreferredFormat(GUID* format) {
  if (!format) return E_POINTER;
  *format = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

STDMETHODIMP SeekingPassThrough::GetTimeFormat(GUID* format) {
  return QueryPreferredFormat(format);
}

STDMETHODIMP SeekingPassThrough::IsUsingTimeFormat(const GUID* format) {
  return IsFormatSupported(format);
}

STDMETHODIMP SeekingPassThrough::SetTimeFormat(const GUID* format) {
  if (!format) return E_POINTER;
  return *format == TIME_FORMAT_MEDIA_TIME || *format == TIME_FORMAT_NONE ? S_OK : E_INVALIDARG;
}

// The rest is the upstream peer's business.
#define STANDIN_FORWARD(call)      \
  ComPtr<IMediaSeeking> upstream;  \
  HRESULT hr = Upstream(upstream); \
  return FAILED(hr) ? hr : upstream->call

STDMETHODIMP SeekingPassThrough::GetCapabilities(DWORD* capabilities) {
  STANDIN_FORWARD(GetCapabilities(capabilities));
}
STDMETHODIMP SeekingPassThrough::CheckCapabilities(DWORD* capabilities) {
  STANDIN_FORWARD(CheckCapabilities(capabilities));
}
STDMETHODIMP SeekingPassThrough::GetDuration(LONGLONG* duration) {
  STANDIN_FORWARD(GetDuration(duration));
}
STDMETHODIMP SeekingPassThrough::GetStopPosition(LONGLONG* stop) {
  STANDIN_FORWARD(GetStopPosition(stop));
}
STDMETHODIMP SeekingPassThrough::GetCurrentPosition(LONGLONG* current) {
  if (m_position) {
    if (!current) return E_POINTER;
    *current = m_position();
    return S_OK;
  }
  STANDIN_FORWARD(GetCurrentPosition(current));
}
STDMETHODIMP SeekingPassThrough::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat,
                                                   LONGLONG source, const GUID* sourceFormat) {
  STANDIN_FORWARD(ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}
STDMETHODIMP SeekingPassThrough::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                              DWORD stopFlags) {
  STANDIN_FORWARD(SetPositions(current, currentFlags, stop, stopFlags));
}
STDMETHODIMP SeekingPassThrough::GetPositions(LONGLONG* current, LONGLONG* stop) {
  STANDIN_FORWARD(GetPositions(current, stop));
}
STDMETHODIMP SeekingPassThrough::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
  STANDIN_FORWARD(GetAvailable(earliest, latest));
}
STDMETHODIMP SeekingPassThrough::SetRate(double rate) { STANDIN_FORWARD(SetRate(rate)); }
STDMETHODIMP SeekingPassThrough::GetRate(double* rate) { STANDIN_FORWARD(GetRate(rate)); }
STDMETHODIMP SeekingPassThrough::GetPreroll(LONGLONG* preroll) {
  STANDIN_FORWARD(GetPreroll(preroll));
}

#undef STANDIN_FORWARD

}  // namespace standin
