#include "standins/codecs/MjpegDriver.h"

#include <cstring>
#include <new>

#include "standins/codecs/MjpegConfigDialog.h"
#include "standins/codecs/MjpegSettingsStore.h"
#include "standins/codecs/VideoFormats.h"

namespace {

constexpr DWORD kQualityScale = 100;  // VfW qualities run 0..10000

bool Describe(const BITMAPINFOHEADER* header, SourcePicture& picture) {
  return header && DescribePicture(*header, picture);
}

// A compressed picture this codec makes from source.
bool IsOurOutput(const BITMAPINFOHEADER& out, const SourcePicture& source) {
  return out.biCompression == kMjpgFourCc && out.biWidth == source.width &&
         (out.biHeight == source.height || out.biHeight == -source.height);
}

// open is null when the driver is opened other than by ICOpen.
LRESULT Open(ICOPEN* open) {
  // ICMODE_COMPRESS, ICMODE_FASTCOMPRESS and ICMODE_QUERY; no decompressing or drawing.
  if (open && (open->fccType != ICTYPE_VIDEO ||
               (open->dwFlags != ICMODE_COMPRESS && open->dwFlags != ICMODE_FASTCOMPRESS &&
                open->dwFlags != ICMODE_QUERY))) {
    open->dwError = ICERR_UNSUPPORTED;
    return 0;
  }
  auto* driver = new (std::nothrow) MjpegDriver();
  if (open) open->dwError = driver ? ICERR_OK : ICERR_MEMORY;
  return reinterpret_cast<LRESULT>(driver);
}

}  // namespace

MjpegDriver::MjpegDriver() : m_codec(LoadMjpegSettings()) {}

LRESULT MjpegDriver::Message(UINT message, LPARAM param1, LPARAM param2) {
  auto header = [](LPARAM param) { return reinterpret_cast<BITMAPINFOHEADER*>(param); };
  switch (message) {
    case ICM_GETINFO:
      return GetInfo(reinterpret_cast<ICINFO*>(param1), param2);
    case ICM_COMPRESS_QUERY:
      return Query(header(param1), header(param2));
    case ICM_COMPRESS_GET_FORMAT:
      return GetFormat(header(param1), header(param2));
    case ICM_COMPRESS_GET_SIZE:
      return GetSize(header(param1));
    case ICM_COMPRESS_BEGIN:
      return Query(header(param1), header(param2));
    case ICM_COMPRESS:
      return Compress(reinterpret_cast<const ICCOMPRESS*>(param1), param2);
    case ICM_COMPRESS_END:
      return ICERR_OK;
    case ICM_GETSTATE:
      return GetState(reinterpret_cast<void*>(param1), param2);
    case ICM_SETSTATE:
      return SetState(reinterpret_cast<const void*>(param1), param2);
    case ICM_CONFIGURE:
      return param1 == -1 ? ICERR_OK : Configure(reinterpret_cast<HWND>(param1));
    case ICM_GETDEFAULTQUALITY:
    case ICM_GETQUALITY:
      if (!param1) return ICERR_BADPARAM;
      *reinterpret_cast<DWORD*>(param1) =
          (message == ICM_GETQUALITY ? m_codec.Settings().quality
                                     : MjpegSettings::kDefaultQuality) *
          kQualityScale;
      return ICERR_OK;
    default:
      return ICERR_UNSUPPORTED;
  }
}

LRESULT MjpegDriver::GetInfo(ICINFO* info, LPARAM size) const {
  if (!info || size < static_cast<LPARAM>(sizeof *info)) return 0;
  memset(info, 0, sizeof *info);
  info->dwSize = sizeof *info;
  info->fccType = ICTYPE_VIDEO;
  info->fccHandler = kMjpgFourCc;
  info->dwFlags = VIDCF_QUALITY;
  info->dwVersion = 1;
  info->dwVersionICM = ICVERSION;
  wcscpy(info->szName, L"MJPEG");
  wcscpy(info->szDescription, L"MJPEG Compressor");
  return sizeof *info;
}

LRESULT MjpegDriver::Query(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) const {
  SourcePicture picture;
  if (!Describe(in, picture)) return ICERR_BADFORMAT;
  return !out || IsOurOutput(*out, picture) ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT MjpegDriver::GetFormat(const BITMAPINFOHEADER* in, BITMAPINFOHEADER* out) const {
  SourcePicture picture;
  if (!Describe(in, picture)) return ICERR_BADFORMAT;
  if (!out) return sizeof *out;
  *out = MjpegHeader(picture.width, picture.height,
                     m_codec.MaxFrameSize(picture.width, picture.height));
  return ICERR_OK;
}

LRESULT MjpegDriver::GetSize(const BITMAPINFOHEADER* in) const {
  SourcePicture picture;
  if (!Describe(in, picture)) return ICERR_BADFORMAT;
  return static_cast<LRESULT>(m_codec.MaxFrameSize(picture.width, picture.height));
}

// The caller's output buffer holds ICM_COMPRESS_GET_SIZE bytes; the input
// holds its header's biSizeImage, or the whole picture where that is 0.
LRESULT MjpegDriver::Compress(const ICCOMPRESS* compress, LPARAM size) {
  if (!compress || size < static_cast<LPARAM>(sizeof *compress)) return ICERR_BADPARAM;
  SourcePicture picture;
  if (!Describe(compress->lpbiInput, picture) || !compress->lpbiOutput ||
      !IsOurOutput(*compress->lpbiOutput, picture))
    return ICERR_BADFORMAT;
  if (!compress->lpInput || !compress->lpOutput) return ICERR_BADPARAM;
  const size_t needed = SourcePictureBytes(picture.format, picture.width, picture.height);
  const DWORD declared = compress->lpbiInput->biSizeImage;
  picture.data = static_cast<const uint8_t*>(compress->lpInput);
  picture.size = declared ? declared : needed;
  const int quality = compress->dwQuality == static_cast<DWORD>(ICQUALITY_DEFAULT)
                          ? 0
                          : static_cast<int>(compress->dwQuality / kQualityScale);
  if (!m_codec.Compress(picture, m_frame, quality)) return ICERR_BADFORMAT;
  if (m_frame.size() > m_codec.MaxFrameSize(picture.width, picture.height)) return ICERR_INTERNAL;
  memcpy(compress->lpOutput, m_frame.data(), m_frame.size());
  compress->lpbiOutput->biSizeImage = static_cast<DWORD>(m_frame.size());
  if (compress->lpckid) *compress->lpckid = MAKEAVICKID(cktypeDIBcompressed, 0);
  if (compress->lpdwFlags) *compress->lpdwFlags = AVIIF_KEYFRAME;
  return ICERR_OK;
}

LRESULT MjpegDriver::GetState(void* state, LPARAM size) const {
  if (!state) return kMjpegStateSize;
  if (size < static_cast<LPARAM>(kMjpegStateSize)) return ICERR_BADSIZE;
  uint8_t block[kMjpegStateSize];
  WriteMjpegState(m_codec.Settings(), block);
  memcpy(state, block, sizeof block);
  return ICERR_OK;
}

// The bytes taken, or 0 for a block of another size or version.
LRESULT MjpegDriver::SetState(const void* state, LPARAM size) {
  if (!state) {
    m_codec.SetSettings(LoadMjpegSettings());
    return 0;
  }
  MjpegSettings settings;
  if (size < 0 || !ReadMjpegState(state, static_cast<size_t>(size), settings)) return 0;
  m_codec.SetSettings(settings);
  return kMjpegStateSize;
}

LRESULT MjpegDriver::Configure(HWND owner) {
  MjpegSettings settings = m_codec.Settings();
  if (!RunMjpegConfigDialog(owner, settings)) return ICERR_ABORT;
  m_codec.SetSettings(settings);
  SaveMjpegSettings(settings);
  return ICERR_OK;
}

// Wine's ICInstall refuses ICINSTALL_DRIVERW: the path goes in ANSI.
bool MjpegDriver::Install(const char* dllPath) {
  return ICInstall(ICTYPE_VIDEO, kMjpgFourCc, reinterpret_cast<LPARAM>(dllPath), nullptr,
                   ICINSTALL_DRIVER);
}

bool MjpegDriver::Remove() { return ICRemove(ICTYPE_VIDEO, kMjpgFourCc, 0); }

extern "C" LRESULT CALLBACK DriverProc(DWORD_PTR driverId, HDRVR driver, UINT message,
                                       LPARAM param1, LPARAM param2) {
  auto* instance = reinterpret_cast<MjpegDriver*>(driverId);
  switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_INSTALL:
    case DRV_REMOVE:
      return DRV_OK;
    case DRV_OPEN:
      return Open(reinterpret_cast<ICOPEN*>(param2));
    case DRV_CLOSE:
      delete instance;
      return DRV_OK;
    case DRV_QUERYCONFIGURE:
      return 0;  // no driver-wide configuration
    default:
      break;
  }
  if (message < DRV_USER) return DefDriverProc(driverId, driver, message, param1, param2);
  if (!instance) return ICERR_BADHANDLE;
  try {
    return instance->Message(message, param1, param2);
  } catch (const std::bad_alloc&) {
    return ICERR_MEMORY;
  }
}
