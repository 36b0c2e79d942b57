#pragma once
// One input of a multiplexer: a stream of any type the file takes.

#include "standins/base/InputPin.h"

class Multiplexer;

class MultiplexerPin final : public standin::InputPin {
 public:
  MultiplexerPin(Multiplexer& mux, std::wstring name);

  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;

  // The stream this pin feeds in the file being written, or -1.
  int Stream() const { return m_stream; }
  void SetStream(int stream) { m_stream = stream; }

 protected:
  HRESULT CompleteConnect(IPin* peer) override;
  HRESULT OnReceive(IMediaSample* sample) override;
  HRESULT OnEndOfStream() override;
  HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

 private:
  Multiplexer& m_mux;
  int m_stream = -1;
};
