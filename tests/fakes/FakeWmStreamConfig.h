#pragma once
// A stream configuration of the fake Windows Media runtime: a codec format
// that GetCodecFormat hands out, or a new stream of a profile. It answers
// IWMStreamConfig, IWMMediaProps and IWMVideoMediaProps, counts its
// references, notes each call in the log and keeps what was set on it.

#include <optional>
#include <string>
#include <vector>

#include "engine/PlatformDeclarations.h"
#include "fakes/FakeWmCallLog.h"
#include "platform/Str.h"

// A media type with its format block held by value.
struct FakeMediaType {
  GUID majortype = GUID_NULL;
  GUID subtype = GUID_NULL;
  BOOL fixedSizeSamples = FALSE;
  BOOL temporalCompression = FALSE;
  ULONG sampleSize = 0;
  GUID formattype = GUID_NULL;
  IUnknown* pUnk = nullptr;
  std::vector<BYTE> format;
};

class FakeWmStreamConfig final : public IWMStreamConfig, public IWMVideoMediaProps {
 public:
  // offered is what GetMediaType answers.
  FakeWmStreamConfig(std::string name, FakeWmCallLog& log, FakeMediaType offered = {});
  virtual ~FakeWmStreamConfig() = default;

  const std::string& Name() const { return m_name; }
  ULONG RefCount() const { return m_refs; }

  // A faulty runtime: the size GetMediaType asks for (and writes at most),
  // and the cbFormat it writes.
  std::optional<DWORD> reportedSize;
  std::optional<ULONG> reportedCbFormat;
  bool offersMediaProps = true;  // false: no IWMMediaProps, no IWMVideoMediaProps

  // What the code under test set.
  WORD streamNumber = 0;
  std::wstring streamName;
  std::wstring connectionName;
  DWORD bitrate = 0;
  DWORD quality = 0;
  LONGLONG maxKeyFrameSpacing = 0;  // 100 ns units
  std::optional<FakeMediaType> mediaType;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  // The test owns the object: the count may reach 0 without deleting it.
  STDMETHODIMP_(ULONG) Release() override { return m_refs ? --m_refs : 0; }
  // IWMStreamConfig
  STDMETHODIMP GetStreamType(GUID* type) override { return Give(type, m_offered.majortype); }
  STDMETHODIMP GetStreamNumber(WORD* number) override { return Give(number, streamNumber); }
  STDMETHODIMP SetStreamNumber(WORD number) override {
    return Keep("SetStreamNumber", std::to_string(number), streamNumber, number);
  }
  STDMETHODIMP GetStreamName(WCHAR*, WORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetStreamName(LPCWSTR_WMSDK_TYPE_SAFE name) override {
    return Keep("SetStreamName", str::ToAnsi(name), streamName, name);
  }
  STDMETHODIMP GetConnectionName(WCHAR*, WORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetConnectionName(LPCWSTR_WMSDK_TYPE_SAFE name) override {
    return Keep("SetConnectionName", str::ToAnsi(name), connectionName, name);
  }
  STDMETHODIMP GetBitrate(DWORD* value) override { return Give(value, bitrate); }
  STDMETHODIMP SetBitrate(DWORD value) override {
    return Keep("SetBitrate", std::to_string(value), bitrate, value);
  }
  STDMETHODIMP GetBufferWindow(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetBufferWindow(DWORD window) override;
  // IWMMediaProps
  STDMETHODIMP GetType(GUID* type) override { return Give(type, m_offered.majortype); }
  STDMETHODIMP GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override;
  STDMETHODIMP SetMediaType(WM_MEDIA_TYPE* type) override;
  // IWMVideoMediaProps
  STDMETHODIMP GetMaxKeyFrameSpacing(LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetMaxKeyFrameSpacing(LONGLONG time) override {
    return Keep("SetMaxKeyFrameSpacing", std::to_string(time), maxKeyFrameSpacing, time);
  }
  STDMETHODIMP GetQuality(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetQuality(DWORD value) override {
    return Keep("SetQuality", std::to_string(value), quality, value);
  }

 private:
  // Notes the call; unless it fails as planned, keeps value in field.
  template <class Field, class Value>
  HRESULT Keep(const char* method, const std::string& args, Field& field, Value value) {
    HRESULT hr = m_log.Call(m_name, method, args);
    if (SUCCEEDED(hr)) field = value;
    return hr;
  }
  template <class T>
  static HRESULT Give(T* out, const T& value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
  }

  std::string m_name;
  FakeWmCallLog& m_log;
  FakeMediaType m_offered;
  ULONG m_refs = 0;
};

// The wave format a codec offers: WAVEFORMATEX plus extraBytes bytes.
FakeMediaType FakeWaveFormat(WORD tag, DWORD samplesPerSec, WORD channels, DWORD avgBytesPerSec,
                             WORD blockAlign, WORD extraBytes = 0);
// The video-info format a codec offers.
FakeMediaType FakeVideoFormat(DWORD fourcc);
