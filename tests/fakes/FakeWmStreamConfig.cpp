#include "fakes/FakeWmStreamConfig.h"

#include <algorithm>
#include <cstring>

FakeWmStreamConfig::FakeWmStreamConfig(std::string name, FakeWmCallLog& log, FakeMediaType offered)
    : m_name(std::move(name)), m_log(log), m_offered(std::move(offered)) {}

STDMETHODIMP FakeWmStreamConfig::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == __uuidof(IWMStreamConfig)) {
    *object = static_cast<IWMStreamConfig*>(this);
  } else if (offersMediaProps &&
             (riid == __uuidof(IWMMediaProps) || riid == __uuidof(IWMVideoMediaProps))) {
    *object = static_cast<IWMVideoMediaProps*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP FakeWmStreamConfig::SetBufferWindow(DWORD window) {
  return m_log.Call(m_name, "SetBufferWindow", std::to_string(window));
}

STDMETHODIMP FakeWmStreamConfig::GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) {
  HRESULT hr = m_log.Call(m_name, "GetMediaType", type ? "buffer" : "size");
  if (FAILED(hr)) return hr;
  if (!size) return E_INVALIDARG;
  const DWORD needed =
      reportedSize.value_or(static_cast<DWORD>(sizeof(WM_MEDIA_TYPE) + m_offered.format.size()));
  if (!type || needed < sizeof(WM_MEDIA_TYPE)) {
    *size = needed;
    return S_OK;
  }
  if (*size < needed) return E_INVALIDARG;  // the runtime's "buffer too small"
  BYTE* block = reinterpret_cast<BYTE*>(type + 1);
  *type = {m_offered.majortype,
           m_offered.subtype,
           m_offered.fixedSizeSamples,
           m_offered.temporalCompression,
           m_offered.sampleSize,
           m_offered.formattype,
           m_offered.pUnk,
           reportedCbFormat.value_or(static_cast<ULONG>(m_offered.format.size())),
           block};
  const size_t room = needed - sizeof(WM_MEDIA_TYPE);
  std::memcpy(block, m_offered.format.data(), std::min(room, m_offered.format.size()));
  *size = needed;
  return S_OK;
}

STDMETHODIMP FakeWmStreamConfig::SetMediaType(WM_MEDIA_TYPE* type) {
  HRESULT hr = m_log.Call(m_name, "SetMediaType");
  if (FAILED(hr)) return hr;
  if (!type) return E_POINTER;
  FakeMediaType set;
  set.majortype = type->majortype;
  set.subtype = type->subtype;
  set.fixedSizeSamples = type->bFixedSizeSamples;
  set.temporalCompression = type->bTemporalCompression;
  set.sampleSize = type->lSampleSize;
  set.formattype = type->formattype;
  set.pUnk = type->pUnk;
  if (type->pbFormat) set.format.assign(type->pbFormat, type->pbFormat + type->cbFormat);
  mediaType = std::move(set);
  return S_OK;
}

FakeMediaType FakeWaveFormat(WORD tag, DWORD samplesPerSec, WORD channels, DWORD avgBytesPerSec,
                             WORD blockAlign, WORD extraBytes) {
  FakeMediaType type;
  type.majortype = WMMEDIATYPE_Audio;
  type.subtype = WMMEDIASUBTYPE_Base;
  type.subtype.Data1 = tag;
  type.fixedSizeSamples = TRUE;
  type.sampleSize = blockAlign;
  type.formattype = WMFORMAT_WaveFormatEx;
  WAVEFORMATEX wave = {tag, channels, samplesPerSec, avgBytesPerSec, blockAlign, 16, extraBytes};
  type.format.resize(sizeof wave + extraBytes);
  std::memcpy(type.format.data(), &wave, sizeof wave);
  for (WORD i = 0; i < extraBytes; ++i) type.format[sizeof wave + i] = static_cast<BYTE>(0xA0 + i);
  return type;
}

FakeMediaType FakeVideoFormat(DWORD fourcc) {
  FakeMediaType type;
  type.majortype = WMMEDIATYPE_Video;
  type.subtype = WMMEDIASUBTYPE_Base;
  type.subtype.Data1 = fourcc;
  type.temporalCompression = TRUE;
  type.formattype = WMFORMAT_VideoInfo;
  VIDEOINFOHEADER info = {};
  info.rcSource = {2, 3, 320, 240};
  info.rcTarget = {0, 0, 320, 240};
  info.dwBitRate = 250000;
  info.dwBitErrorRate = 7;
  info.AvgTimePerFrame = 333333;
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 320;
  info.bmiHeader.biHeight = 240;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = fourcc;
  type.format.resize(sizeof info);
  std::memcpy(type.format.data(), &info, sizeof info);
  return type;
}
