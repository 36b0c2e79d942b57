#include "standins/base/MediaType.h"

#include <dvdmedia.h>

#include <cstring>

namespace standin {

void FreeMediaTypeContent(AM_MEDIA_TYPE& mt) {
  if (mt.pbFormat) CoTaskMemFree(mt.pbFormat);
  mt.pbFormat = nullptr;
  mt.cbFormat = 0;
  if (mt.pUnk) mt.pUnk->Release();
  mt.pUnk = nullptr;
}

HRESULT CopyMediaTypeContent(AM_MEDIA_TYPE& dst, const AM_MEDIA_TYPE& src) {
  dst = src;
  dst.pbFormat = nullptr;
  dst.cbFormat = 0;
  if (src.cbFormat && src.pbFormat) {
    dst.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src.cbFormat));
    if (!dst.pbFormat) {
      dst.pUnk = nullptr;
      return E_OUTOFMEMORY;
    }
    memcpy(dst.pbFormat, src.pbFormat, src.cbFormat);
    dst.cbFormat = src.cbFormat;
  }
  if (dst.pUnk) dst.pUnk->AddRef();
  return S_OK;
}

AM_MEDIA_TYPE* NewTaskMediaType(const AM_MEDIA_TYPE& src) {
  auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
  if (!mt) return nullptr;
  if (FAILED(CopyMediaTypeContent(*mt, src))) {
    CoTaskMemFree(mt);
    return nullptr;
  }
  return mt;
}

void DeleteTaskMediaType(AM_MEDIA_TYPE* mt) {
  if (!mt) return;
  FreeMediaTypeContent(*mt);
  CoTaskMemFree(mt);
}

bool MatchesPartialType(const AM_MEDIA_TYPE& full, const AM_MEDIA_TYPE& partial) {
  if (partial.majortype != GUID_NULL && partial.majortype != full.majortype) return false;
  if (partial.subtype != GUID_NULL && partial.subtype != full.subtype) return false;
  if (partial.formattype != GUID_NULL && partial.formattype != full.formattype) return false;
  return true;
}

MediaType::MediaType() : m_mt{} {}

MediaType::MediaType(const AM_MEDIA_TYPE& mt) : m_mt{} { Set(mt); }

MediaType::MediaType(const MediaType& other) : m_mt{} { Set(other.m_mt); }

MediaType& MediaType::operator=(const MediaType& other) {
  if (this != &other) Set(other.m_mt);
  return *this;
}

MediaType::~MediaType() { FreeMediaTypeContent(m_mt); }

HRESULT MediaType::Set(const AM_MEDIA_TYPE& mt) {
  AM_MEDIA_TYPE copy;
  HRESULT hr = CopyMediaTypeContent(copy, mt);
  if (FAILED(hr)) return hr;
  FreeMediaTypeContent(m_mt);
  m_mt = copy;
  return S_OK;
}

void MediaType::Clear() {
  FreeMediaTypeContent(m_mt);
  m_mt = AM_MEDIA_TYPE{};
}

BYTE* MediaType::AllocFormat(ULONG size) {
  if (m_mt.pbFormat) CoTaskMemFree(m_mt.pbFormat);
  m_mt.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
  m_mt.cbFormat = m_mt.pbFormat ? size : 0;
  if (m_mt.pbFormat) memset(m_mt.pbFormat, 0, size);
  return m_mt.pbFormat;
}

const BITMAPINFOHEADER* MediaType::VideoHeader() const {
  if (!m_mt.pbFormat) return nullptr;
  if (m_mt.formattype == FORMAT_VideoInfo && m_mt.cbFormat >= sizeof(VIDEOINFOHEADER))
    return &reinterpret_cast<const VIDEOINFOHEADER*>(m_mt.pbFormat)->bmiHeader;
  if (m_mt.formattype == FORMAT_VideoInfo2 && m_mt.cbFormat >= sizeof(VIDEOINFOHEADER2))
    return &reinterpret_cast<const VIDEOINFOHEADER2*>(m_mt.pbFormat)->bmiHeader;
  return nullptr;
}

REFERENCE_TIME MediaType::FrameTime() const {
  if (!m_mt.pbFormat) return 0;
  if (m_mt.formattype == FORMAT_VideoInfo && m_mt.cbFormat >= sizeof(VIDEOINFOHEADER))
    return reinterpret_cast<const VIDEOINFOHEADER*>(m_mt.pbFormat)->AvgTimePerFrame;
  if (m_mt.formattype == FORMAT_VideoInfo2 && m_mt.cbFormat >= sizeof(VIDEOINFOHEADER2))
    return reinterpret_cast<const VIDEOINFOHEADER2*>(m_mt.pbFormat)->AvgTimePerFrame;
  return 0;
}

const WAVEFORMATEX* MediaType::WaveFormat() const {
  if (m_mt.formattype != FORMAT_WaveFormatEx || !m_mt.pbFormat ||
      m_mt.cbFormat < sizeof(WAVEFORMATEX))
    return nullptr;
  return reinterpret_cast<const WAVEFORMATEX*>(m_mt.pbFormat);
}

}  // namespace standin
