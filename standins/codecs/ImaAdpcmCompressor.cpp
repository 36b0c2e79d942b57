#include "standins/codecs/ImaAdpcmCompressor.h"

#include <mmreg.h>

#include <algorithm>
#include <cstring>

#include "standins/codecs/CodecClsids.h"

namespace {

constexpr long kBlocksPerSample = 16;
constexpr long kOutputBuffers = 4;
constexpr REFERENCE_TIME kUnitsPerSecond = 10000000;

static_assert(sizeof(IMAADPCMWAVEFORMAT) == sizeof(WAVEFORMATEX) + 2);

bool IsPcmTag(const AM_MEDIA_TYPE& mt, const WAVEFORMATEX& wave) {
  if (wave.wFormatTag == WAVE_FORMAT_PCM) return true;
  if (wave.wFormatTag != WAVE_FORMAT_EXTENSIBLE || mt.cbFormat < sizeof(WAVEFORMATEXTENSIBLE))
    return false;
  return reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(wave).SubFormat ==
         MEDIASUBTYPE_PCM;  // the same GUID as KSDATAFORMAT_SUBTYPE_PCM
}

// The block layout for 16-bit PCM of one or two channels.
bool DescribeInput(const AM_MEDIA_TYPE& mt, ImaAdpcmFormat& format) {
  if (mt.majortype != MEDIATYPE_Audio || mt.subtype != MEDIASUBTYPE_PCM ||
      mt.formattype != FORMAT_WaveFormatEx || !mt.pbFormat || mt.cbFormat < sizeof(WAVEFORMATEX))
    return false;
  const auto& wave = *reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
  return IsPcmTag(mt, wave) && wave.wBitsPerSample == 16 &&
         wave.nBlockAlign == 2 * wave.nChannels &&
         ChooseImaAdpcmFormat(static_cast<int>(wave.nSamplesPerSec), wave.nChannels, format);
}

}  // namespace

ImaAdpcmCompressor::ImaAdpcmCompressor() : CompressorFilter(kImaAdpcmCompressorClsid) {}

ImaAdpcmCompressor::~ImaAdpcmCompressor() = default;

HRESULT ImaAdpcmCompressor::CheckInputType(const AM_MEDIA_TYPE& mt) {
  ImaAdpcmFormat format;
  return DescribeInput(mt, format) ? S_OK : S_FALSE;
}

HRESULT ImaAdpcmCompressor::GetOutputType(int n, standin::MediaType& mt) {
  ImaAdpcmFormat format;
  if (n != 0 || !DescribeInput(InputType().Get(), format)) return VFW_S_NO_MORE_ITEMS;
  mt.Clear();
  auto* wave = reinterpret_cast<IMAADPCMWAVEFORMAT*>(mt.AllocFormat(sizeof(IMAADPCMWAVEFORMAT)));
  if (!wave) return E_OUTOFMEMORY;
  wave->wfx.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
  wave->wfx.nChannels = static_cast<WORD>(format.channels);
  wave->wfx.nSamplesPerSec = static_cast<DWORD>(format.sampleRate);
  wave->wfx.nAvgBytesPerSec = static_cast<DWORD>(format.bytesPerSecond);
  wave->wfx.nBlockAlign = static_cast<WORD>(format.blockAlign);
  wave->wfx.wBitsPerSample = 4;
  wave->wfx.cbSize = sizeof(IMAADPCMWAVEFORMAT) - sizeof(WAVEFORMATEX);
  wave->wSamplesPerBlock = static_cast<WORD>(format.samplesPerBlock);
  mt->majortype = MEDIATYPE_Audio;
  mt->subtype = MEDIASUBTYPE_PCM;
  mt->subtype.Data1 = WAVE_FORMAT_IMA_ADPCM;
  mt->formattype = FORMAT_WaveFormatEx;
  mt->bFixedSizeSamples = TRUE;
  mt->bTemporalCompression = FALSE;
  mt->lSampleSize = static_cast<ULONG>(format.blockAlign);
  return S_OK;
}

void ImaAdpcmCompressor::OutputBuffers(long& bytes, long& count) {
  ImaAdpcmFormat format;
  bytes = DescribeInput(InputType().Get(), format) ? format.blockAlign * kBlocksPerSample : 0;
  count = kOutputBuffers;
}

void ImaAdpcmCompressor::Restart() {
  ImaAdpcmFormat format;
  if (DescribeInput(InputType().Get(), format))
    m_encoder = std::make_unique<ImaAdpcmEncoder>(format);
  else
    m_encoder.reset();
  m_encoded.clear();
  m_started = false;
  m_startTime = 0;
  m_blocksDelivered = 0;
}

HRESULT ImaAdpcmCompressor::Transform(IMediaSample* sample) {
  if (!m_encoder) return VFW_E_NOT_CONNECTED;
  BYTE* data = nullptr;
  HRESULT hr = sample->GetPointer(&data);
  if (FAILED(hr)) return hr;
  if (!m_started) {
    REFERENCE_TIME start = 0, stop = 0;
    if (SUCCEEDED(sample->GetTime(&start, &stop))) m_startTime = start;
    m_started = true;
  }
  m_encoder->Push(data, static_cast<size_t>(std::max(0L, sample->GetActualDataLength())),
                  m_encoded);
  return DeliverBlocks();
}

HRESULT ImaAdpcmCompressor::Drain() {
  if (!m_encoder) return S_OK;
  m_encoder->Finish(m_encoded);
  return DeliverBlocks();
}

HRESULT ImaAdpcmCompressor::DeliverBlocks() {
  const size_t blockBytes = static_cast<size_t>(m_encoder->Format().blockAlign);
  const size_t blocks = m_encoded.size() / blockBytes;
  size_t done = 0;
  HRESULT hr = S_OK;
  while (done < blocks && SUCCEEDED(hr)) {
    const size_t count = std::min(blocks - done, static_cast<size_t>(kBlocksPerSample));
    hr = DeliverSample(&m_encoded[done * blockBytes], count);
    done += count;
  }
  m_encoded.erase(m_encoded.begin(),
                  m_encoded.begin() + static_cast<std::ptrdiff_t>(done * blockBytes));
  return hr;
}

HRESULT ImaAdpcmCompressor::DeliverSample(const uint8_t* blocks, size_t count) {
  const ImaAdpcmFormat& format = m_encoder->Format();
  const size_t bytes = count * static_cast<size_t>(format.blockAlign);
  Microsoft::WRL::ComPtr<IMediaSample> out;
  HRESULT hr = Output().GetDeliveryBuffer(&out);
  if (FAILED(hr)) return hr;
  BYTE* data = nullptr;
  hr = out->GetPointer(&data);
  if (FAILED(hr)) return hr;
  if (bytes > static_cast<size_t>(out->GetSize())) return E_UNEXPECTED;
  memcpy(data, blocks, bytes);
  out->SetActualDataLength(static_cast<long>(bytes));
  auto timeOf = [&](uint64_t block) {
    const uint64_t samples = block * static_cast<uint64_t>(format.samplesPerBlock);
    return m_startTime + static_cast<REFERENCE_TIME>(samples * kUnitsPerSecond /
                                                     static_cast<uint64_t>(format.sampleRate));
  };
  REFERENCE_TIME start = timeOf(m_blocksDelivered);
  REFERENCE_TIME stop = timeOf(m_blocksDelivered + count);
  out->SetTime(&start, &stop);
  out->SetSyncPoint(TRUE);
  out->SetDiscontinuity(m_blocksDelivered == 0);
  m_blocksDelivered += count;
  return Output().Deliver(out.Get());
}
