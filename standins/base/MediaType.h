#pragma once
// AM_MEDIA_TYPE helpers: the format block lives in task memory, and pUnk holds
// a reference. MediaType owns one such structure.

#include <dshow.h>

namespace standin {

// Frees the format block and releases pUnk; the structure itself stays.
void FreeMediaTypeContent(AM_MEDIA_TYPE& mt);
// A deep copy into dst (its old content is not freed). E_OUTOFMEMORY leaves dst empty.
HRESULT CopyMediaTypeContent(AM_MEDIA_TYPE& dst, const AM_MEDIA_TYPE& src);
// A new structure in task memory, as IEnumMediaTypes::Next hands out.
AM_MEDIA_TYPE* NewTaskMediaType(const AM_MEDIA_TYPE& src);
void DeleteTaskMediaType(AM_MEDIA_TYPE* mt);

// True when every field that partial sets (major type, subtype, format type
// not GUID_NULL) equals full's.
bool MatchesPartialType(const AM_MEDIA_TYPE& full, const AM_MEDIA_TYPE& partial);

class MediaType {
 public:
  MediaType();
  explicit MediaType(const AM_MEDIA_TYPE& mt);
  MediaType(const MediaType& other);
  MediaType& operator=(const MediaType& other);
  ~MediaType();

  AM_MEDIA_TYPE& Get() { return m_mt; }
  const AM_MEDIA_TYPE& Get() const { return m_mt; }
  const AM_MEDIA_TYPE* operator->() const { return &m_mt; }
  AM_MEDIA_TYPE* operator->() { return &m_mt; }

  HRESULT Set(const AM_MEDIA_TYPE& mt);
  void Clear();
  // A zeroed format block of size bytes; nullptr when out of memory.
  BYTE* AllocFormat(ULONG size);

  // The picture header of a VIDEOINFOHEADER or VIDEOINFOHEADER2 format, or nullptr.
  const BITMAPINFOHEADER* VideoHeader() const;
  // The average frame time (100 ns units) of a video format, 0 when unknown.
  REFERENCE_TIME FrameTime() const;
  // The WAVEFORMATEX of an audio format, or nullptr.
  const WAVEFORMATEX* WaveFormat() const;

 private:
  AM_MEDIA_TYPE m_mt;
};

}  // namespace standin
