#include "settings/VfwCodecs.h"

#include <cstring>

#include "platform/Str.h"
#include "res/resource.h"
#include "settings/CompressorCatalogue.h"

namespace {

// The frame every listed codec must accept, and the size it is asked with.
constexpr LONG kTestWidth = 352;
constexpr LONG kTestHeight = 240;
constexpr WORD kTestDepth = 24;

// An open codec, closed when it goes.
class OpenCodec {
 public:
  OpenCodec(DWORD type, DWORD handler, UINT mode) : m_hic(ICOpen(type, handler, mode)) {}
  ~OpenCodec() {
    if (m_hic) ICClose(m_hic);
  }
  OpenCodec(const OpenCodec&) = delete;
  OpenCodec& operator=(const OpenCodec&) = delete;
  HIC Get() const { return m_hic; }

 private:
  HIC m_hic;
};

BITMAPINFOHEADER UncompressedFrame(LONG width, LONG height, WORD depth) {
  BITMAPINFOHEADER frame = {};
  frame.biSize = sizeof frame;
  frame.biWidth = width;
  frame.biHeight = height;
  frame.biPlanes = 1;
  frame.biBitCount = depth;
  frame.biCompression = BI_RGB;
  frame.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * (depth / 8u);
  return frame;
}

// The text of a combo list's selected entry, or empty without a selection.
std::string SelectedText(HWND list, LRESULT selection) {
  LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(selection), 0);
  if (length == CB_ERR) return std::string();
  // CB_GETLBTEXT takes no buffer size: the buffer is made to fit, then cut.
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(selection),
                                reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : strnlen(text.c_str(), text.size()));
  CutToNameLength(text, str::ThreadAnsiCodePage());
  return text;
}

bool IsFfdshowMatch(const std::string& chosenLower, const char* description) {
  if (chosenLower.find(kDefaultVideoCompressorName) == std::string::npos) return false;
  if (str::ToLower(description).find(kDefaultVideoCompressorName) == std::string::npos)
    return false;
  // The tokens need not be equal: any version of the encoder has the codec.
  return !VersionToken(chosenLower.c_str()).empty() && !VersionToken(description).empty();
}

// Lists the descriptions in the hidden list; gives the matching codec or -1.
int ListDescriptions(HWND vfwList, const std::vector<ICINFO>& codecs, const char* chosenName) {
  std::vector<std::string> descriptions;
  SendMessageA(vfwList, CB_RESETCONTENT, 0, 0);
  for (const ICINFO& codec : codecs) {
    descriptions.push_back(CompressorText(codec.szDescription, ARRAYSIZE(codec.szDescription),
                                          str::ThreadAnsiCodePage()));
    SendMessageA(vfwList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(descriptions.back().c_str()));
  }
  return MatchVfwCodec(chosenName, descriptions);
}

void Configure(HWND owner, const ICINFO& codec, VfwCodecState& state) {
  OpenCodec open(codec.fccType, codec.fccHandler, ICMODE_COMPRESS);
  if (!open.Get()) return;
  LRESULT size = ICGetState(open.Get(), nullptr, 0);
  // LRESULT is as wide as a pointer: compared in 64 bits on both builds.
  if (size <= 0 || static_cast<ULONGLONG>(size) > MAXDWORD) return;  // nothing to configure
  const DWORD bytes = static_cast<DWORD>(size);
  const bool restore = state.Prepare(bytes);
  if (!state.Data()) return;
  if (restore) ICSetState(open.Get(), state.Data(), bytes);
  if (ICConfigure(open.Get(), owner) != ICERR_OK) return;
  if (ICGetState(open.Get(), state.Data(), bytes) >= 0) state.MarkHeld();
}

}  // namespace

int EnumerateVfwCompressors(LONG width, LONG height, WORD depth, std::vector<ICINFO>& list) {
  list.clear();
  BITMAPINFOHEADER frame = UncompressedFrame(width, height, depth);
  ICINFO info = {};
  info.dwSize = sizeof info;
  for (DWORD i = 0; list.size() < kMaxVfwCodecs && ICInfo(ICTYPE_VIDEO, i, &info); ++i) {
    OpenCodec open(info.fccType, info.fccHandler, ICMODE_COMPRESS);
    if (!open.Get() || ICCompressQuery(open.Get(), &frame, nullptr) != ICERR_OK) continue;
    ICINFO record = {};
    record.dwSize = sizeof record;
    if (ICGetInfo(open.Get(), &record, sizeof record) > 0) list.push_back(record);
  }
  return static_cast<int>(list.size());
}

std::string VersionToken(const char* text) {
  constexpr char kVersionChars[] = "0123456789.";
  std::string s = text ? text : "";
  size_t start = s.find_first_of(kVersionChars);
  if (start == std::string::npos) return std::string();
  size_t end = s.find_first_not_of(kVersionChars, start);
  return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int MatchVfwCodec(const char* chosenName, const std::vector<std::string>& descriptions) {
  const std::string chosenLower = str::ToLower(chosenName);
  int match = -1;
  for (size_t i = 0; i < descriptions.size(); ++i) {
    const char* description = descriptions[i].c_str();
    if (str::EqualNoCase(description, chosenName) ||
        (match < 0 && IsFfdshowMatch(chosenLower, description)))
      match = static_cast<int>(i);
  }
  return match;
}

void ConfigureVfwCodec(HWND dialog, VfwCodecState& state) {
  HWND compressors = GetDlgItem(dialog, IDC_COMBO_VIDEO_COMPRESSOR);
  LRESULT chosen = SendMessageA(compressors, CB_GETCURSEL, 0, 0);
  if (chosen <= 0) return;  // no selection, or no compressor
  const std::string chosenName = SelectedText(compressors, chosen);

  std::vector<ICINFO> codecs;
  EnumerateVfwCompressors(kTestWidth, kTestHeight, kTestDepth, codecs);
  HWND vfwList = GetDlgItem(dialog, IDC_COMBO_VFW_CODECS);
  int match = ListDescriptions(vfwList, codecs, chosenName.c_str());
  if (match < 0) return;
  SendMessageA(vfwList, CB_SETCURSEL, static_cast<WPARAM>(match), 0);
  LRESULT selected = SendMessageA(vfwList, CB_GETCURSEL, 0, 0);
  if (selected < 0 || static_cast<size_t>(selected) >= codecs.size()) return;
  Configure(dialog, codecs[static_cast<size_t>(selected)], state);
}
