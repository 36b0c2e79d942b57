#pragma once
// A renderer for tests that keeps a copy of every sample reaching it, with its
// presentation time: a video pin (of one subtype, or any) and an audio pin
// that takes integer PCM, as a writer would. The graph counts it as a
// renderer, seeks through its video pin, and gets one EC_COMPLETE once every
// connected pin has had its end of stream.

#include <dshow.h>

#include <vector>

#include "standins/base/Filter.h"
#include "standins/base/InputPin.h"
#include "standins/base/SeekingPassThrough.h"

struct RecordedSample {
  REFERENCE_TIME time = 0;  // sample start plus segment start, 100 ns units
  std::vector<BYTE> bytes;
  bool operator==(const RecordedSample&) const = default;
};

class RecordingSink;

class RecordingPin final : public standin::InputPin {
 public:
  // How GetAllocator answers: as the stand-ins' pins do, with none (as Wine 8's
  // renderers do), or with the platform's memory allocator (as some others do).
  enum class Offer { kOurs, kNone, kPlatform };

  RecordingPin(RecordingSink& sink, const GUID& major, const GUID& subtype, const wchar_t* name);
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
  STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
  long long Bytes() const;

  std::vector<RecordedSample> samples;  // written on the streaming thread while running
  Offer offer = Offer::kOurs;

 protected:
  HRESULT OnReceive(IMediaSample* sample) override;
  HRESULT OnEndOfStream() override;

 private:
  RecordingSink& m_sink;
  GUID m_major;
  GUID m_subtype;
};

class RecordingSink final : public standin::Filter {
 public:
  // videoSubtype: the only one the video pin takes, as VideoInfo; GUID_NULL: any video.
  explicit RecordingSink(const GUID& videoSubtype = GUID_NULL);
  int PinCount() override { return 2; }
  standin::Pin* PinAt(int n) override;
  void StreamEnded();

  RecordingPin m_video;
  RecordingPin m_audio;

 protected:
  bool IsRenderer() const override { return true; }
  HRESULT QueryOther(REFIID riid, void** object) override;
  HRESULT OnStop() override;

 private:
  standin::SeekingPassThrough m_seeking;
  volatile LONG m_notified = 0;
};
