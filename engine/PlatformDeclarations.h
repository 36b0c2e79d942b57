#pragma once
// Platform identifiers and interfaces that the mingw-w64 headers lack,
// declared once from their documented values. Each one is declared here and
// nowhere else.

#include <dshow.h>

// ---- Windows Media Format runtime ----
// The interface guard is the one the platform's own header uses, so a header
// that declares IWMVideoMediaProps (the Windows SDK's) also brings the GUIDs
// below, and this block steps aside.
#include <wmsdkidl.h>

#ifndef __IWMVideoMediaProps_INTERFACE_DEFINED__
#define __IWMVideoMediaProps_INTERFACE_DEFINED__

EXTERN_GUID(WMFORMAT_VideoInfo, 0x05589f80, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55,
            0x59, 0x5a);
EXTERN_GUID(WMFORMAT_WaveFormatEx, 0x05589f81, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55,
            0x59, 0x5a);
EXTERN_GUID(WMFORMAT_Script, 0x5c8510f2, 0xdebe, 0x4ca7, 0xbb, 0xa5, 0xf0, 0x7a, 0x10, 0x4f, 0x8d,
            0xff);
EXTERN_GUID(WMMEDIATYPE_Script, 0x73636d64, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38,
            0x9b, 0x71);
EXTERN_GUID(WMSCRIPTTYPE_TwoStrings, 0x82f38a70, 0xc29f, 0x11d1, 0x97, 0xad, 0x00, 0xa0, 0xc9, 0x5e,
            0xa8, 0x50);
EXTERN_GUID(CLSID_WMMUTEX_Bitrate, 0xd6e22a01, 0x35da, 0x11d1, 0x90, 0x34, 0x00, 0xa0, 0xc9, 0x03,
            0x49, 0xbe);

MIDL_INTERFACE("96406BCF-2B2B-11D3-B36B-00C04F6108FF")
IWMVideoMediaProps : public IWMMediaProps {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetMaxKeyFrameSpacing(LONGLONG * time) = 0;  // 100 ns units
  virtual HRESULT STDMETHODCALLTYPE SetMaxKeyFrameSpacing(LONGLONG time) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetQuality(DWORD * quality) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetQuality(DWORD quality) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IWMVideoMediaProps, 0x96406bcf, 0x2b2b, 0x11d3, 0xb3, 0x6b, 0x00, 0xc0, 0x4f, 0x61,
                0x08, 0xff)
#endif

#endif  // __IWMVideoMediaProps_INTERFACE_DEFINED__

// ---- DirectShow ----
// The WM ASF Writer's configuration interface (dshowasf.h in the Windows SDK).
#ifndef __IConfigAsfWriter_INTERFACE_DEFINED__
#define __IConfigAsfWriter_INTERFACE_DEFINED__

MIDL_INTERFACE("45086030-F7E4-486A-B504-826BB5792A3B")
IConfigAsfWriter : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileId(DWORD profileId) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentProfileId(DWORD * profileId) = 0;
  virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileGuid(REFGUID profile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentProfileGuid(GUID * profile) = 0;
  virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfile(IWMProfile * profile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentProfile(IWMProfile * *profile) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetIndexMode(BOOL indexFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIndexMode(BOOL * indexFile) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IConfigAsfWriter, 0x45086030, 0xf7e4, 0x486a, 0xb5, 0x04, 0x82, 0x6b, 0xb5, 0x79,
                0x2a, 0x3b)
#endif

#endif  // __IConfigAsfWriter_INTERFACE_DEFINED__

// The Null Renderer (qedit.h in the Windows SDK): takes any stream and drops it.
EXTERN_GUID(CLSID_NullRenderer, 0xc1f400a4, 0x3f08, 0x11d3, 0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e,
            0x37);

// Identifiers for ComPtr::As and IID_PPV_ARGS that mingw-w64 leaves out.
#if defined(__MINGW32__)
__CRT_UUID_DECL(IBasicVideo, 0x56a868b5, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7,
                0x70)
__CRT_UUID_DECL(IMediaEventEx, 0x56a868c0, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7,
                0x70)
#endif
