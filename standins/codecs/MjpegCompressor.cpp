#include "standins/codecs/MjpegCompressor.h"

#include <dvdmedia.h>

#include <cstring>

#include "standins/codecs/CodecClsids.h"
#include "standins/codecs/MjpegSettingsStore.h"
#include "standins/codecs/VideoFormats.h"

namespace {

// The subtype that names a picture of that header.
GUID SubtypeOf(const BITMAPINFOHEADER& header) {
  if (header.biCompression == BI_RGB)
    return header.biBitCount == 24 ? MEDIASUBTYPE_RGB24 : MEDIASUBTYPE_RGB32;
  GUID subtype = MEDIASUBTYPE_YUY2;  // {fourcc-0000-0010-8000-00AA00389B71}
  subtype.Data1 = header.biCompression;
  return subtype;
}

bool DescribeInput(const standin::MediaType& mt, SourcePicture& picture) {
  const BITMAPINFOHEADER* header = mt.VideoHeader();
  return mt->majortype == MEDIATYPE_Video && header && DescribePicture(*header, picture) &&
         mt->subtype == SubtypeOf(*header);
}

// The format block of an output type, with its frame time: a VIDEOINFOHEADER2
// with the input's picture aspect ratio where keepAspect, else a
// VIDEOINFOHEADER. Gives the picture header to fill in; nullptr when out of memory.
BITMAPINFOHEADER* AllocOutputFormat(const standin::MediaType& input, bool keepAspect,
                                    standin::MediaType& mt) {
  if (!keepAspect) {
    auto* format = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormat(sizeof(VIDEOINFOHEADER)));
    if (!format) return nullptr;
    mt->formattype = FORMAT_VideoInfo;
    format->AvgTimePerFrame = input.FrameTime();
    return &format->bmiHeader;
  }
  const auto* from = reinterpret_cast<const VIDEOINFOHEADER2*>(input->pbFormat);
  auto* format = reinterpret_cast<VIDEOINFOHEADER2*>(mt.AllocFormat(sizeof(VIDEOINFOHEADER2)));
  if (!format) return nullptr;
  mt->formattype = FORMAT_VideoInfo2;
  format->AvgTimePerFrame = input.FrameTime();
  format->dwPictAspectRatioX = from->dwPictAspectRatioX;
  format->dwPictAspectRatioY = from->dwPictAspectRatioY;
  return &format->bmiHeader;
}

}  // namespace

MjpegCompressor::MjpegCompressor() : CompressorFilter(kMjpegCompressorClsid) {}

HRESULT MjpegCompressor::CheckInputType(const AM_MEDIA_TYPE& mt) {
  SourcePicture picture;
  return DescribeInput(standin::MediaType(mt), picture) ? S_OK : S_FALSE;
}

// A picture with an aspect ratio keeps it in the first type, for downstream
// filters that take VIDEOINFOHEADER2; the second is without it.
HRESULT MjpegCompressor::GetOutputType(int n, standin::MediaType& mt) {
  SourcePicture picture;
  const bool withAspect = InputType()->formattype == FORMAT_VideoInfo2;
  if (n < 0 || n > (withAspect ? 1 : 0) || !DescribeInput(InputType(), picture))
    return VFW_S_NO_MORE_ITEMS;
  mt.Clear();
  BITMAPINFOHEADER* header = AllocOutputFormat(InputType(), withAspect && n == 0, mt);
  if (!header) return E_OUTOFMEMORY;
  *header = MjpegHeader(picture.width, picture.height,
                        m_codec.MaxFrameSize(picture.width, picture.height));
  mt->majortype = MEDIATYPE_Video;
  mt->subtype = MEDIASUBTYPE_MJPG;
  mt->bFixedSizeSamples = FALSE;
  mt->bTemporalCompression = FALSE;
  mt->lSampleSize = 0;
  return S_OK;
}

void MjpegCompressor::OutputBuffers(long& bytes, long& count) {
  SourcePicture picture;
  bytes = DescribeInput(InputType(), picture)
              ? static_cast<long>(m_codec.MaxFrameSize(picture.width, picture.height))
              : 0;
  count = 2;
}

void MjpegCompressor::Restart() { m_codec.SetSettings(LoadMjpegSettings()); }

bool MjpegCompressor::ReadPicture(IMediaSample* sample, SourcePicture& picture) {
  BYTE* data = nullptr;
  const long length = sample->GetActualDataLength();
  const BITMAPINFOHEADER* header = InputType().VideoHeader();
  if (FAILED(sample->GetPointer(&data)) || length < 0 || !header) return false;
  const std::optional<PictureLayout> declared =
      DeclaredLayout(picture.format, picture.width, header->biHeight, header->biWidth);
  const std::optional<PictureLayout> layout =
      declared ? SampleLayout(*declared, static_cast<size_t>(length)) : std::nullopt;
  if (!layout) return false;
  const PictureLayout packed = PackedLayout(*declared);
  picture.data = data;
  picture.size = static_cast<size_t>(length);
  if (*layout == packed) return true;
  m_packed.resize(packed.Bytes());
  CopyPicture(*layout, data, packed, m_packed.data());
  picture.data = m_packed.data();
  picture.size = m_packed.size();
  return true;
}

HRESULT MjpegCompressor::Transform(IMediaSample* sample) {
  SourcePicture picture;
  if (!DescribeInput(InputType(), picture)) return VFW_E_NOT_CONNECTED;
  if (!ReadPicture(sample, picture) || !m_codec.Compress(picture, m_frame))
    return AbortRun(VFW_E_INVALIDMEDIATYPE);

  Microsoft::WRL::ComPtr<IMediaSample> out;
  HRESULT hr = Output().GetDeliveryBuffer(&out);
  if (FAILED(hr)) return hr;
  BYTE* outData = nullptr;
  hr = out->GetPointer(&outData);
  if (FAILED(hr)) return hr;
  if (m_frame.size() > static_cast<size_t>(out->GetSize())) return E_UNEXPECTED;
  memcpy(outData, m_frame.data(), m_frame.size());
  out->SetActualDataLength(static_cast<long>(m_frame.size()));
  REFERENCE_TIME start = 0, stop = 0;
  hr = sample->GetTime(&start, &stop);
  if (SUCCEEDED(hr)) out->SetTime(&start, hr == VFW_S_NO_STOP_TIME ? nullptr : &stop);
  LONGLONG mediaStart = 0, mediaStop = 0;
  if (sample->GetMediaTime(&mediaStart, &mediaStop) == S_OK)
    out->SetMediaTime(&mediaStart, &mediaStop);
  out->SetSyncPoint(TRUE);
  out->SetDiscontinuity(sample->IsDiscontinuity() == S_OK);
  return Output().Deliver(out.Get());
}
