#include "standins/mux/MultiplexerPin.h"

#include "standins/mux/Multiplexer.h"

MultiplexerPin::MultiplexerPin(Multiplexer& mux, std::wstring name)
    : InputPin(mux, std::move(name)), m_mux(mux) {}

HRESULT MultiplexerPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  StreamInfo info;
  return m_mux.DescribeInput(mt, info) ? S_OK : S_FALSE;
}

HRESULT MultiplexerPin::CompleteConnect(IPin*) {
  m_mux.AddFreePin();
  return S_OK;
}

HRESULT MultiplexerPin::OnReceive(IMediaSample* sample) { return m_mux.Receive(*this, sample); }

HRESULT MultiplexerPin::OnEndOfStream() { return m_mux.EndOfStream(*this); }

HRESULT MultiplexerPin::OnNewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
  m_mux.NewSegment(*this);
  return S_OK;
}
