#include "FrameRecorder.h"

namespace {

// {5D1C7E40-3A1B-4C55-9A51-112E6F208B10}
constexpr CLSID kRecorderClass = {
    0x5d1c7e40, 0x3a1b, 0x4c55, {0x9a, 0x51, 0x11, 0x2e, 0x6f, 0x20, 0x8b, 0x10}};

}  // namespace

FrameRecorderPin::FrameRecorderPin(FrameRecorder& recorder, const GUID& subtype)
    : InputPin(recorder, L"In"), m_recorder(recorder), m_subtype(subtype) {}

HRESULT FrameRecorderPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  return mt.majortype == MEDIATYPE_Video && mt.subtype == m_subtype &&
                 mt.formattype == FORMAT_VideoInfo
             ? S_OK
             : S_FALSE;
}

HRESULT FrameRecorderPin::OnReceive(IMediaSample* sample) {
  RecordedFrame frame;
  REFERENCE_TIME stop = 0;
  if (FAILED(sample->GetTime(&frame.time, &stop))) return E_FAIL;
  frame.time += SegmentStart();
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  frame.bytes.assign(data, data + sample->GetActualDataLength());
  m_recorder.frames.push_back(std::move(frame));
  return S_OK;
}

HRESULT FrameRecorderPin::OnEndOfStream() { return m_recorder.NotifyEvent(EC_COMPLETE, S_OK, 0); }

FrameRecorder::FrameRecorder(const GUID& subtype)
    : Filter(kRecorderClass),
      m_pin(*this, subtype),
      m_seeking(*static_cast<IBaseFilter*>(this), [this] { return &m_pin; }) {}

HRESULT FrameRecorder::QueryOther(REFIID riid, void** object) {
  if (riid == IID_IMediaSeeking) return standin::GetInterface(&m_seeking, object);
  return E_NOINTERFACE;
}
