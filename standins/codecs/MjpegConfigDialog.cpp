#include "standins/codecs/MjpegConfigDialog.h"

#include <algorithm>

#include "standins/codecs/MjpegResource.h"

namespace {

// In the order of ChromaSampling.
constexpr const char* kSamplingNames[] = {"4:2:0", "4:2:2"};

HINSTANCE ThisModule() {
  HMODULE self = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&ThisModule), &self);
  return self;
}

void Show(HWND dialog, const MjpegSettings& settings) {
  SetDlgItemInt(dialog, IDC_MJPEG_QUALITY, static_cast<UINT>(settings.quality), FALSE);
  SendDlgItemMessageA(dialog, IDC_MJPEG_QUALITY, EM_LIMITTEXT, 3, 0);
  for (const char* name : kSamplingNames)
    SendDlgItemMessageA(dialog, IDC_MJPEG_SAMPLING, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(name));
  SendDlgItemMessageA(dialog, IDC_MJPEG_SAMPLING, CB_SETCURSEL,
                      settings.sampling == ChromaSampling::k422 ? 1 : 0, 0);
}

void Take(HWND dialog, MjpegSettings& settings) {
  BOOL read = FALSE;
  const UINT quality = GetDlgItemInt(dialog, IDC_MJPEG_QUALITY, &read, FALSE);
  if (read) settings.quality = static_cast<int>(std::clamp(quality, 1u, 100u));
  const LRESULT sampling = SendDlgItemMessageA(dialog, IDC_MJPEG_SAMPLING, CB_GETCURSEL, 0, 0);
  if (sampling == 0 || sampling == 1)
    settings.sampling = sampling == 1 ? ChromaSampling::k422 : ChromaSampling::k420;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lp);
      Show(dialog, *reinterpret_cast<MjpegSettings*>(lp));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK)
        Take(dialog, *reinterpret_cast<MjpegSettings*>(GetWindowLongPtrA(dialog, DWLP_USER)));
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dialog, LOWORD(wp));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RunMjpegConfigDialog(HWND owner, MjpegSettings& settings) {
  MjpegSettings chosen = settings;
  const INT_PTR result = DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(IDD_MJPEG_CONFIG), owner,
                                         &DialogProc, reinterpret_cast<LPARAM>(&chosen));
  if (result != IDOK) return false;
  settings = chosen;
  return true;
}
