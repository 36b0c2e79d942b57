#pragma once
// The installed video and audio compressors, asked of the system device
// enumerator each time they are needed. A compressor is known by its position
// in the enumerator's order, never by its name. The operations count positions
// differently when a member has no readable property bag or name; with
// well-formed registrations they agree.

#include <dshow.h>
#include <wrl/client.h>

#include <cstddef>
#include <string>

enum class CompressorCategory { Video, Audio };

// The compressor instances of the next conversion: slots that the caller owns
// (the engine's graph handles), each holding one counted reference or empty.
struct CompressorSlots {
  Microsoft::WRL::ComPtr<IBaseFilter>& video;
  Microsoft::WRL::ComPtr<IBaseFilter>& audio;
};

// Names and codec descriptions are shown with at most this many characters.
constexpr size_t kMaxCompressorNameChars = 255;

// Fragments (lower case) of the compressors chosen when none ever was.
constexpr char kDefaultVideoCompressorName[] = "ffdshow video encoder";
constexpr char kDefaultAudioCompressorName[] = "microsoft adpcm";

// The synthetic first entry of a compressor list: no compressor.
const char* NoCompressorEntry(CompressorCategory category);

// UTF-16 text of at most maxWide characters (it need not be terminated) in the
// code page, cut at a character boundary to kMaxCompressorNameChars.
std::string CompressorText(const wchar_t* wide, size_t maxWide, unsigned codePage);
// Cuts text in the code page at a character boundary to kMaxCompressorNameChars.
void CutToNameLength(std::string& text, unsigned codePage);

// Every failure box of the catalogue is owned by the window it serves: owner,
// or the list's dialog.

// Empties the combo list, adds the synthetic first entry and then the name of
// each member (members without a readable name are left out), and selects
// position 0.
HRESULT FillCompressorList(CompressorCategory category, HWND list);

// Creates the filter of member n, counting every member the enumerator gives.
// *out is emptied first; a position beyond the catalogue leaves it empty
// without a message. Failures are reported to the user.
void GetCompressor(HWND owner, int n, Microsoft::WRL::ComPtr<IBaseFilter>* out);
void GetAudioCompressor(HWND owner, int n, Microsoft::WRL::ComPtr<IBaseFilter>* out);
void CreateCompressor(HWND owner, CompressorCategory category, int n,
                      Microsoft::WRL::ComPtr<IBaseFilter>* out);

// The position of the first member whose friendly name, in lower case, holds
// fragment. Members without a property bag are not counted; members whose
// name cannot be read are.
bool FindCompressorByName(HWND owner, CompressorCategory category, const char* fragment,
                          int& position);
