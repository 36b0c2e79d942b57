#include "support/PictureSource.h"

#include <dvdmedia.h>
#include <wrl/client.h>

#include <cstring>

#include "standins/base/OutputPin.h"

namespace {

// {6A0D3C52-8E14-4B7F-9F61-2D5C0B8E47A3}
constexpr CLSID kPictureSourceClass = {
    0x6a0d3c52, 0x8e14, 0x4b7f, {0x9f, 0x61, 0x2d, 0x5c, 0x0b, 0x8e, 0x47, 0xa3}};
constexpr REFERENCE_TIME kFrameTime = 400000;  // 100 ns units

}  // namespace

class PictureSource::OutPin final : public standin::OutputPin {
 public:
  OutPin(PictureSource& filter, LONG width, LONG height, DWORD aspectX, DWORD aspectY)
      : OutputPin(filter, L"Out") {
    auto* format =
        reinterpret_cast<VIDEOINFOHEADER2*>(m_type.AllocFormat(sizeof(VIDEOINFOHEADER2)));
    const DWORD i420 = MAKEFOURCC('I', '4', '2', '0'), bytes = width * height * 3 / 2;
    *format = {{}, {}, 0, 0, kFrameTime, 0, 0, aspectX, aspectY};
    format->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 12, i420, bytes};
    m_type->majortype = MEDIATYPE_Video;
    m_type->subtype = MEDIASUBTYPE_YV12;
    m_type->subtype.Data1 = i420;
    m_type->formattype = FORMAT_VideoInfo2;
    m_type->lSampleSize = bytes;
  }
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
    return mt.subtype == m_type->subtype && mt.formattype == m_type->formattype ? S_OK : S_FALSE;
  }
  HRESULT GetMediaType(int n, standin::MediaType& mt) override {
    if (n == 0) mt = m_type;
    return n == 0 ? S_OK : VFW_S_NO_MORE_ITEMS;
  }

 private:
  standin::MediaType m_type;
};

PictureSource::PictureSource(LONG width, LONG height, DWORD aspectX, DWORD aspectY, int frames)
    : Filter(kPictureSourceClass),
      m_output(new OutPin(*this, width, height, aspectX, aspectY)),
      m_frames(frames) {}

PictureSource::~PictureSource() { OnStop(); }

standin::Pin* PictureSource::PinAt(int n) { return n == 0 ? m_output.get() : nullptr; }

HRESULT PictureSource::OnRun(REFERENCE_TIME) {
  if (!m_pusher.joinable()) m_pusher = std::thread([this] { Push(); });
  return S_OK;
}

HRESULT PictureSource::OnStop() {
  if (m_pusher.joinable()) m_pusher.join();
  return S_OK;
}

// Grey frames with a white row that moves down a row a frame.
void PictureSource::Push() {
  const long bytes = m_output->ConnectionType()->lSampleSize;
  const long width = m_output->ConnectionType().VideoHeader()->biWidth;
  for (REFERENCE_TIME i = 0; i < m_frames; ++i) {
    Microsoft::WRL::ComPtr<IMediaSample> sample;
    BYTE* data = nullptr;
    if (FAILED(m_output->GetDeliveryBuffer(&sample)) || FAILED(sample->GetPointer(&data))) return;
    std::memset(data, 128, bytes);
    std::memset(data + i * width, 235, width);
    REFERENCE_TIME start = i * kFrameTime, stop = start + kFrameTime;
    sample->SetTime(&start, &stop);
    sample->SetActualDataLength(bytes);
    if (m_output->Deliver(sample.Get()) != S_OK) return;
  }
  m_output->DeliverEndOfStream();
}
