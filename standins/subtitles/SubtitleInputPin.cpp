#include "standins/subtitles/SubtitleInputPin.h"

#include <wrl/client.h>

#include <cstring>

#include "standins/subtitles/SubtitleFilter.h"
#include "standins/subtitles/SubtitlePainter.h"
#include "standins/subtitles/VideoFormat.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kMaxUpstreamDepth = 32;  // filters; a longer chain is taken as a loop

// Whether pin's filter, or any filter upstream of it, is of class clsid.
bool ClassUpstream(IPin* pin, const CLSID& clsid, int depth) {
  PIN_INFO info = {};
  if (depth == 0 || FAILED(pin->QueryPinInfo(&info)) || !info.pFilter) return false;
  ComPtr<IBaseFilter> filter;
  *filter.GetAddressOf() = info.pFilter;  // adopts the reference QueryPinInfo added
  CLSID filterClass = {};
  if (SUCCEEDED(filter->GetClassID(&filterClass)) && filterClass == clsid) return true;
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(&pins))) return false;
  ComPtr<IPin> each;
  while (pins->Next(1, &each, nullptr) == S_OK) {
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    ComPtr<IPin> upstream;
    if (SUCCEEDED(each->QueryDirection(&direction)) && direction == PINDIR_INPUT &&
        SUCCEEDED(each->ConnectedTo(&upstream)) && ClassUpstream(upstream.Get(), clsid, depth - 1))
      return true;
  }
  return false;
}

void CopyTimes(IMediaSample* from, IMediaSample* to) {
  REFERENCE_TIME start = 0, stop = 0;
  const HRESULT times = from->GetTime(&start, &stop);
  if (times == S_OK) to->SetTime(&start, &stop);
  if (times == VFW_S_NO_STOP_TIME) to->SetTime(&start, nullptr);
  LONGLONG mediaStart = 0, mediaStop = 0;
  if (from->GetMediaTime(&mediaStart, &mediaStop) == S_OK)
    to->SetMediaTime(&mediaStart, &mediaStop);
  to->SetSyncPoint(from->IsSyncPoint() == S_OK);
  to->SetPreroll(from->IsPreroll() == S_OK);
  to->SetDiscontinuity(from->IsDiscontinuity() == S_OK);
}

// The bytes and properties of from into to; false when they do not fit.
bool CopySample(IMediaSample* from, IMediaSample* to) {
  BYTE* source = nullptr;
  BYTE* target = nullptr;
  const long length = from->GetActualDataLength();
  if (FAILED(from->GetPointer(&source)) || FAILED(to->GetPointer(&target)) || length < 0 ||
      length > to->GetSize())
    return false;
  std::memcpy(target, source, static_cast<size_t>(length));
  to->SetActualDataLength(length);
  CopyTimes(from, to);
  return true;
}

}  // namespace

SubtitleInputPin::SubtitleInputPin(SubtitleFilter& filter)
    : InputPin(filter, L"Input"), m_owner(filter) {}

STDMETHODIMP SubtitleInputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
  if (connector && ClassUpstream(connector, kSubtitleFilterClass, kMaxUpstreamDepth))
    return VFW_E_TYPE_NOT_ACCEPTED;
  return InputPin::ReceiveConnection(connector, mt);
}

// The settings decide only while the filter joins: a connected pin may be
// asked on a streaming thread, where the graph must not be called.
HRESULT SubtitleInputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  if (!IsUncompressedVideo(mt)) return S_FALSE;
  return IsConnected() || m_owner.MayJoin() ? S_OK : S_FALSE;
}

HRESULT SubtitleInputPin::Reconnect(const AM_MEDIA_TYPE& mt) {
  ComPtr<IPin> upstream = Peer();
  if (!upstream) return VFW_E_NOT_CONNECTED;
  HRESULT hr = upstream->Disconnect();
  if (FAILED(hr)) return hr;
  Disconnect();
  return upstream->Connect(this, &mt);
}

HRESULT SubtitleInputPin::CompleteConnect(IPin*) {
  m_layout = DrawableLayout(ConnectionType().Get());
  m_owner.FindSource();
  return S_OK;
}

// Painted in place and handed on where downstream takes upstream's samples and
// upstream lets them be changed; otherwise copied into a buffer of the output's.
HRESULT SubtitleInputPin::OnReceive(IMediaSample* sample) {
  AM_MEDIA_TYPE* changed = nullptr;
  if (sample->GetMediaType(&changed) != S_OK) changed = nullptr;
  if (changed) m_layout = DrawableLayout(*changed);
  SubtitleOutputPin& output = m_owner.Output();
  if (output.DownstreamTakesAnySample() && !ReadOnlySamples()) {
    standin::DeleteTaskMediaType(changed);
    Paint(sample, sample);
    return output.Deliver(sample);
  }
  ComPtr<IMediaSample> copy;
  HRESULT hr = output.GetDeliveryBuffer(&copy);
  // A frame larger than the agreed buffers goes on as it is.
  if (SUCCEEDED(hr) && !CopySample(sample, copy.Get())) copy = sample;
  if (SUCCEEDED(hr) && changed && copy.Get() != sample) copy->SetMediaType(changed);
  standin::DeleteTaskMediaType(changed);
  if (FAILED(hr)) return hr;
  if (copy.Get() != sample) Paint(sample, copy.Get());
  return output.Deliver(copy.Get());
}

void SubtitleInputPin::Paint(IMediaSample* sample, IMediaSample* target) {
  const std::shared_ptr<SubtitlePainter> painter = m_owner.Painter();
  REFERENCE_TIME start = 0, stop = 0;
  if (!painter || !m_layout || FAILED(sample->GetTime(&start, &stop))) return;
  BYTE* frame = nullptr;
  if (FAILED(target->GetPointer(&frame)) ||
      static_cast<size_t>(target->GetActualDataLength()) < m_layout->RequiredBytes())
    return;
  painter->Paint(start + SegmentStart(), *m_layout, frame);
}

HRESULT SubtitleInputPin::OnEndOfStream() { return m_owner.Output().DeliverEndOfStream(); }

HRESULT SubtitleInputPin::OnBeginFlush() { return m_owner.Output().DeliverBeginFlush(); }

HRESULT SubtitleInputPin::OnEndFlush() { return m_owner.Output().DeliverEndFlush(); }

HRESULT SubtitleInputPin::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  return m_owner.Output().DeliverNewSegment(start, stop, rate);
}
