#include "standins/mux/Multiplexer.h"

#include <algorithm>
#include <string>

#include "standins/base/MediaType.h"
#include "standins/mux/ContainerWriter.h"
#include "standins/mux/Interleaver.h"
#include "standins/mux/SampleEnd.h"
#include "standins/mux/StreamTimes.h"
#include "standins/mux/StreamTypes.h"
#include "standins/mux/Win32FileSink.h"

namespace {

// How far a stream may run ahead of the others before its oldest samples are
// written out of time order: its queue holds copies of what it sent ahead.
constexpr uint64_t kQueueBytes = 4u << 20;
constexpr int64_t kQueueSpan = 10000000;  // 100 ns units
// A sample that leaves at once is written from upstream's buffer, held until
// then, from this size on; a smaller one (sound) is copied, which costs less
// than keeping upstream waiting for its buffer.
constexpr size_t kHoldBytes = 64u << 10;

std::wstring PinName(size_t number) {
  return std::wstring(L"Input ") + (number < 10 ? L"0" : L"") + std::to_wstring(number);
}

}  // namespace

Multiplexer::Multiplexer(const MuxFormat& format, SinkOpener opener)
    : Filter(*format.clsid),
      m_format(format),
      m_opener(std::move(opener)),
      m_seeking(
          *static_cast<IBaseFilter*>(this), [this] { return FirstConnectedPin(); },
          [this] { return WrittenPosition(); }) {
  AddFreePin();
}

Multiplexer::~Multiplexer() {
  standin::SlimAutoLock lock(m_lock);
  CloseFileLocked();
}

HRESULT Multiplexer::OpenWin32File(const wchar_t* path, bool overwrite,
                                   std::unique_ptr<FileSink>& sink) {
  auto file = std::make_unique<Win32FileSink>();
  HRESULT hr = file->Open(path, overwrite);
  if (FAILED(hr)) return hr;
  sink = std::move(file);
  return S_OK;
}

standin::Pin* Multiplexer::PinAt(int n) {
  return n >= 0 && n < PinCount() ? m_pins[static_cast<size_t>(n)].get() : nullptr;
}

HRESULT Multiplexer::QueryOther(REFIID riid, void** object) {
  if (riid == IID_IFileSinkFilter || riid == IID_IFileSinkFilter2)
    return standin::GetInterface(static_cast<IFileSinkFilter2*>(this), object);
  if (riid == IID_IConfigInterleaving)
    return standin::GetInterface(static_cast<IConfigInterleaving*>(this), object);
  if (riid == IID_IMediaSeeking) return standin::GetInterface(&m_seeking, object);
  return E_NOINTERFACE;
}

STDMETHODIMP Multiplexer::SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE*) {
  if (!fileName) return E_POINTER;
  standin::AutoLock lock(StateLock());
  if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
  m_fileName = fileName;
  return S_OK;
}

STDMETHODIMP Multiplexer::GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* mt) {
  if (!fileName) return E_POINTER;
  standin::AutoLock lock(StateLock());
  *fileName = nullptr;
  if (mt) {
    *mt = AM_MEDIA_TYPE{};
    mt->majortype = MEDIATYPE_Stream;
    mt->subtype = *m_format.fileType;
  }
  if (m_fileName.empty()) return S_OK;
  const size_t bytes = (m_fileName.size() + 1) * sizeof(wchar_t);
  *fileName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!*fileName) return E_OUTOFMEMORY;
  memcpy(*fileName, m_fileName.c_str(), bytes);
  return S_OK;
}

STDMETHODIMP Multiplexer::SetMode(DWORD flags) {
  if (flags & ~static_cast<DWORD>(AM_FILE_OVERWRITE)) return E_INVALIDARG;
  standin::AutoLock lock(StateLock());
  m_mode = flags;
  return S_OK;
}

STDMETHODIMP Multiplexer::GetMode(DWORD* flags) {
  if (!flags) return E_POINTER;
  *flags = m_mode;
  return S_OK;
}

STDMETHODIMP Multiplexer::put_Mode(InterleavingMode mode) {
  if (mode < INTERLEAVE_NONE || mode > INTERLEAVE_NONE_BUFFERED) return E_INVALIDARG;
  m_interleaving = mode;
  return S_OK;
}

STDMETHODIMP Multiplexer::get_Mode(InterleavingMode* mode) {
  if (!mode) return E_POINTER;
  *mode = m_interleaving;
  return S_OK;
}

STDMETHODIMP Multiplexer::put_Interleaving(const REFERENCE_TIME* interleave,
                                           const REFERENCE_TIME* preroll) {
  if (interleave) m_interleave = *interleave;
  if (preroll) m_preroll = *preroll;
  return S_OK;
}

STDMETHODIMP Multiplexer::get_Interleaving(REFERENCE_TIME* interleave, REFERENCE_TIME* preroll) {
  if (!interleave || !preroll) return E_POINTER;
  *interleave = m_interleave;
  *preroll = m_preroll;
  return S_OK;
}

bool Multiplexer::DescribeInput(const AM_MEDIA_TYPE& mt, StreamInfo& info) const {
  if (!DescribeStream(standin::MediaType(mt), info)) return false;
  return m_format.bottomUpRgb || info.kind != StreamInfo::Kind::kVideo || info.compressed;
}

void Multiplexer::AddFreePin() {
  standin::AutoLock lock(StateLock());
  for (const auto& pin : m_pins)
    if (!pin->IsConnected()) return;
  m_pins.push_back(std::make_unique<MultiplexerPin>(*this, PinName(m_pins.size() + 1)));
}

MultiplexerPin* Multiplexer::FirstConnectedPin() {
  standin::AutoLock lock(StateLock());
  for (const auto& pin : m_pins)
    if (pin->IsConnected()) return pin.get();
  return nullptr;
}

// A file that cannot be opened ends the run as a failed write does, once it
// runs (the graph drops an EC_COMPLETE from before). A failed Pause would
// leave Wine's graph stopped with the other filters paused: it then never
// stops them, and cannot let go of them either.
HRESULT Multiplexer::OnPause(FILTER_STATE from) {
  if (from == State_Stopped) m_openFailure = OpenFile();
  return S_OK;
}

HRESULT Multiplexer::OnRun(REFERENCE_TIME) {
  if (FAILED(m_openFailure)) Tell({true, m_openFailure});
  m_openFailure = S_OK;
  return S_OK;
}

HRESULT Multiplexer::OnStop() {
  standin::SlimAutoLock lock(m_lock);
  CloseFileLocked();
  return S_OK;
}

// Every connected input becomes a stream, in pin order. State lock held.
HRESULT Multiplexer::OpenFile() {
  std::vector<StreamInfo> streams;
  for (const auto& pin : m_pins) {
    StreamInfo info;
    const bool taken = pin->IsConnected() && DescribeInput(pin->ConnectionType().Get(), info);
    pin->SetStream(taken ? static_cast<int>(streams.size()) : -1);
    if (taken) streams.push_back(std::move(info));
  }
  if (streams.empty()) return VFW_E_NOT_CONNECTED;
  if (m_fileName.empty()) return E_UNEXPECTED;
  standin::SlimAutoLock lock(m_lock);
  std::unique_ptr<FileSink> sink;
  HRESULT hr = m_opener(m_fileName.c_str(), (m_mode & AM_FILE_OVERWRITE) != 0, sink);
  if (FAILED(hr)) return hr;
  const size_t count = streams.size();
  m_streams = streams;
  std::unique_ptr<ContainerWriter> writer = m_format.createWriter(*sink, std::move(streams));
  if (!writer) return E_OUTOFMEMORY;
  hr = writer->Start();
  if (FAILED(hr)) return hr;
  m_background = std::make_unique<BackgroundWriter>(*writer);
  m_interleaver = std::make_unique<Interleaver>(count, kQueueBytes, kQueueSpan);
  m_times = std::make_unique<StreamTimes>(m_streams);
  for (const auto& pin : m_pins)
    if (pin->Stream() >= 0)
      m_times->Segment(static_cast<size_t>(pin->Stream()), pin->SegmentStart());
  m_written.assign(count, 0);
  m_finishedAt = 0;
  m_sink = std::move(sink);
  m_writer = std::move(writer);
  m_open = true;
  m_notified = false;
  return S_OK;
}

HRESULT Multiplexer::WriteReadyLocked(IMediaSample* current) {
  for (std::vector<uint8_t>& spare : m_background->TakeSpareBuffers())
    m_interleaver->Recycle(std::move(spare));
  QueuedSample sample;
  while (m_interleaver->Pop(sample)) {
    BackgroundWriter::Sample outgoing = Outgoing(sample, current);
    m_written[sample.stream] = std::max(m_written[sample.stream], sample.time);
    const int32_t status = m_background->Post(std::move(outgoing));
    if (status != 0) return status;
  }
  return S_OK;
}

BackgroundWriter::Sample Multiplexer::Outgoing(QueuedSample& sample, IMediaSample* current) {
  BackgroundWriter::Sample outgoing;
  outgoing.stream = sample.stream;
  outgoing.time = m_times->InFile(sample.time);
  outgoing.keyFrame = sample.keyFrame;
  if (!sample.borrowed) {
    outgoing.data = std::move(sample.data);
  } else if (current && sample.borrowedSize >= kHoldBytes) {
    outgoing.held = current;
    outgoing.heldBytes = sample.borrowed;
    outgoing.heldSize = sample.borrowedSize;
  } else {
    outgoing.data = m_interleaver->Buffer(sample.borrowedSize);
    std::copy_n(sample.borrowed, sample.borrowedSize, outgoing.data.begin());
  }
  return outgoing;
}

// Writes what is still queued and finishes the file.
HRESULT Multiplexer::CloseFileLocked() {
  if (!m_open) return S_OK;
  m_open = false;
  for (size_t i = 0; i < m_streams.size(); ++i) m_interleaver->End(i);
  const HRESULT posted = WriteReadyLocked();
  const HRESULT written = m_background->Drain();
  m_background.reset();
  // Everything that arrived is written: the position is where the last sample ends.
  if (SUCCEEDED(posted) && SUCCEEDED(written)) m_finishedAt = m_times->LatestEnd();
  const HRESULT finished = m_writer->Finish();
  m_writer.reset();
  m_sink.reset();
  m_interleaver.reset();
  if (FAILED(posted)) return posted;
  return FAILED(written) ? written : finished;
}

Multiplexer::Outcome Multiplexer::EndRunLocked(HRESULT status) {
  const HRESULT closed = CloseFileLocked();
  Outcome outcome{!m_notified, SUCCEEDED(status) ? closed : status};
  m_notified = true;
  return outcome;
}

void Multiplexer::Tell(const Outcome& outcome) {
  if (!outcome.complete) return;
  if (FAILED(outcome.status)) NotifyEvent(EC_ERRORABORT, outcome.status, 0);
  NotifyEvent(EC_COMPLETE, outcome.status, 0);
}

HRESULT Multiplexer::Receive(MultiplexerPin& pin, IMediaSample* sample) {
  const int stream = pin.Stream();
  BYTE* data = nullptr;
  HRESULT hr = sample->GetPointer(&data);
  if (FAILED(hr)) return hr;
  const long length = sample->GetActualDataLength();
  // Written from upstream's buffer when its turn comes at once, else copied by Keep.
  QueuedSample queued;
  queued.stream = static_cast<size_t>(stream);
  queued.borrowed = data;
  queued.borrowedSize = length > 0 ? static_cast<size_t>(length) : 0;
  queued.keyFrame = sample->IsSyncPoint() == S_OK;
  REFERENCE_TIME start = 0, stop = 0;
  const HRESULT timed = sample->GetTime(&start, &stop);
  start = TimePlus(start, pin.SegmentStart());
  stop = TimePlus(stop, pin.SegmentStart());

  Outcome outcome;
  {
    standin::SlimAutoLock lock(m_lock);
    if (!m_open || stream < 0) return S_FALSE;
    queued.time = m_times->Arrived(queued.stream, SUCCEEDED(timed) ? &start : nullptr,
                                   timed == S_OK ? &stop : nullptr, queued.Size());
    hr = QueueLocked(std::move(queued), sample);
    if (FAILED(hr)) outcome = EndRunLocked(hr);
  }
  Tell(outcome);
  return FAILED(hr) ? hr : S_OK;
}

// Queues a sample and writes what may leave; upstream reuses its buffer once
// Receive returns, so what still waits is copied.
HRESULT Multiplexer::QueueLocked(QueuedSample sample, IMediaSample* current) {
  HRESULT hr = PackPictureLocked(sample);
  if (FAILED(hr)) return hr;
  m_interleaver->Push(std::move(sample));
  hr = WriteReadyLocked(current);
  m_interleaver->Keep();
  return hr;
}

HRESULT Multiplexer::EndOfStream(MultiplexerPin& pin) {
  const int stream = pin.Stream();
  Outcome outcome;
  {
    standin::SlimAutoLock lock(m_lock);
    if (!m_open || stream < 0) return S_OK;
    m_interleaver->End(static_cast<size_t>(stream));
    m_times->Ended(static_cast<size_t>(stream));
    const HRESULT hr = WriteReadyLocked();
    if (FAILED(hr) || m_interleaver->AllEnded()) outcome = EndRunLocked(hr);
  }
  Tell(outcome);
  return S_OK;
}

HRESULT Multiplexer::PackPictureLocked(QueuedSample& sample) {
  const std::optional<PictureLayout>& declared = m_streams[sample.stream].declared;
  if (!declared) return S_OK;
  const std::optional<PictureLayout> layout = SampleLayout(*declared, sample.Size());
  if (!layout) return VFW_E_INVALIDMEDIATYPE;
  const PictureLayout packed = PackedLayout(*declared);
  if (*layout == packed) return S_OK;
  std::vector<uint8_t> bytes = m_interleaver->Buffer(packed.Bytes());
  CopyPicture(*layout, sample.Bytes(), packed, bytes.data());
  sample.data = std::move(bytes);
  sample.borrowed = nullptr;
  sample.borrowedSize = 0;
  return S_OK;
}

// A stream written out of time order, far ahead of the others, is not done
// that far: the position is the least of the streams still sending. Once the
// file is finished, it is where the last sample ends.
LONGLONG Multiplexer::WrittenPosition() {
  standin::SlimAutoLock lock(m_lock);
  LONGLONG position = 0;
  if (m_finishedAt > 0) {
    for (LONGLONG written : m_written) position = std::max(position, written);
    return std::max(position, m_finishedAt);
  }
  bool sending = false;
  for (size_t i = 0; i < m_written.size(); ++i) {
    if (m_times->HasEnded(i)) continue;
    position = sending ? std::min(position, m_written[i]) : m_written[i];
    sending = true;
  }
  if (sending) return position;
  return m_written.empty() ? 0 : *std::max_element(m_written.begin(), m_written.end());
}

void Multiplexer::NewSegment(MultiplexerPin& pin) {
  const int stream = pin.Stream();
  standin::SlimAutoLock lock(m_lock);
  if (m_open && stream >= 0) m_times->Segment(static_cast<size_t>(stream), pin.SegmentStart());
}
