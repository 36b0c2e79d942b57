#include "standins/avi/AviMuxPin.h"

#include "standins/avi/AviMediaTypes.h"
#include "standins/avi/AviMux.h"
#include "standins/base/MediaType.h"

AviMuxPin::AviMuxPin(AviMux& mux, std::wstring name) : InputPin(mux, std::move(name)), m_mux(mux) {}

HRESULT AviMuxPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  AviStreamInfo info;
  return DescribeAviStream(standin::MediaType(mt), info) ? S_OK : S_FALSE;
}

HRESULT AviMuxPin::CompleteConnect(IPin*) {
  m_mux.AddFreePin();
  return S_OK;
}

HRESULT AviMuxPin::OnReceive(IMediaSample* sample) { return m_mux.Receive(*this, sample); }

HRESULT AviMuxPin::OnEndOfStream() { return m_mux.EndOfStream(*this); }

HRESULT AviMuxPin::OnBeginFlush() {
  m_mux.WakeStreams();
  return S_OK;
}
