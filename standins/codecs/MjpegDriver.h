#pragma once
// The MJPEG codec as a Video for Windows compressor: one MjpegDriver per open
// instance (DRV_OPEN to DRV_CLOSE), reached through the DLL's DriverProc.
// Compression only: it refuses to open for decompressing or drawing.

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "standins/codecs/MjpegCodec.h"

class MjpegDriver {
 public:
  // Starts from the settings the configuration dialog kept.
  MjpegDriver();

  // An ICM_ message to this instance.
  LRESULT Message(UINT message, LPARAM param1, LPARAM param2);

  // Installs the codec (vidc.MJPG) as the driver at dllPath; removes it.
  static bool Install(const char* dllPath);
  static bool Remove();

 private:
  LRESULT GetInfo(ICINFO* info, LPARAM size) const;
  LRESULT Query(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) const;
  LRESULT GetFormat(const BITMAPINFOHEADER* in, BITMAPINFOHEADER* out) const;
  LRESULT GetSize(const BITMAPINFOHEADER* in) const;
  LRESULT Compress(const ICCOMPRESS* compress, LPARAM size);
  LRESULT GetState(void* state, LPARAM size) const;
  LRESULT SetState(const void* state, LPARAM size);
  LRESULT Configure(HWND owner);

  MjpegCodec m_codec;
  std::vector<uint8_t> m_frame;
};

// Exported by its plain name (standin_mjpeg.def), which Video for Windows looks up.
extern "C" LRESULT CALLBACK DriverProc(DWORD_PTR driverId, HDRVR driver, UINT message,
                                       LPARAM param1, LPARAM param2);
