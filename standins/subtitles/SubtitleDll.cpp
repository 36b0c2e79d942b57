// The subtitle filter's DLL: one class, registered as a video filter with a
// merit above the video renderers', so that every graph RenderFile builds
// tries it first for a video stream.

#include <dshow.h>

#include "standins/base/Module.h"
#include "standins/subtitles/SubtitleFilter.h"
#include "standins/subtitles/SubtitleSettings.h"

namespace {

constexpr DWORD kMerit = 0x800002;  // the default video renderer has 0x800001

const REGPINTYPES kVideo[] = {{&MEDIATYPE_Video, &GUID_NULL}};

const REGFILTERPINS2 kPins[] = {
    {0, 1, 1, kVideo, 0, nullptr, nullptr},
    {REG_PINFLAG_B_OUTPUT, 1, 1, kVideo, 0, nullptr, nullptr},
};

REGFILTER2 FilterEntry() {
  REGFILTER2 entry = {};
  entry.dwVersion = 2;
  entry.dwMerit = kMerit;
  entry.cPins2 = 2;
  entry.rgPins2 = kPins;
  return entry;
}

const REGFILTER2 kFilter = FilterEntry();

// The settings stay when the filter goes, as a user's settings do.
HRESULT RegisterSettings(bool install) { return install ? CreateDefaultSettings() : S_OK; }

const standin::ClassEntry kClasses[] = {
    {&kSubtitleFilterClass, L"Subtitle Overlay", &standin::CreateObject<SubtitleFilter>, &kFilter,
     &RegisterSettings},
};

}  // namespace

const standin::ClassTable& standin::DllClasses() {
  static const ClassTable table = {kClasses, sizeof kClasses / sizeof kClasses[0]};
  return table;
}
