#include "settings/CompressorCatalogue.h"

#include <cwchar>
#include <functional>

#include "platform/Prompts.h"
#include "platform/Str.h"

using Microsoft::WRL::ComPtr;

namespace {

struct CategoryInfo {
  const CLSID* category;
  const char* noCompressor;
  const char* missingOutput;
};

const CategoryInfo& Info(CompressorCategory category) {
  static const CategoryInfo kVideo = {&CLSID_VideoCompressorCategory, "Full frames (uncompressed)",
                                      "GetCompressor received invalid pointer"};
  static const CategoryInfo kAudio = {&CLSID_AudioCompressorCategory, "Uncompressed Audio",
                                      "GetAudioCompressor received invalid pointer"};
  return category == CompressorCategory::Video ? kVideo : kAudio;
}

// members stays empty when the category has none.
HRESULT OpenCatalogue(HWND owner, CompressorCategory category, ComPtr<IEnumMoniker>& members) {
  ComPtr<ICreateDevEnum> devices;
  HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&devices));
  if (FAILED(hr)) {
    AppMessageBox(owner, "Failed to create system enumerator");
    return hr;
  }
  hr = devices->CreateClassEnumerator(*Info(category).category, &members, 0);
  if (FAILED(hr)) {
    AppMessageBox(owner, "Failed to create class enumerator");
    return hr;
  }
  if (members) members->Reset();
  return hr;
}

// Calls visit for each member in enumeration order until it answers true.
HRESULT ForEachMember(HWND owner, CompressorCategory category,
                      const std::function<bool(IMoniker*)>& visit) {
  ComPtr<IEnumMoniker> members;
  HRESULT hr = OpenCatalogue(owner, category, members);
  if (FAILED(hr) || !members) return hr;
  ComPtr<IMoniker> member;
  while (members->Next(1, member.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    if (visit(member.Get())) break;
  }
  return hr;
}

enum class NameRead { NoPropertyBag, NoName, Read };

NameRead ReadFriendlyName(IMoniker* member, std::string& name) {
  ComPtr<IPropertyBag> bag;
  if (FAILED(member->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag))))
    return NameRead::NoPropertyBag;
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = bag->Read(L"FriendlyName", &value, nullptr);
  bool read = SUCCEEDED(hr) && value.vt == VT_BSTR && value.bstrVal;
  if (read) {
    name = CompressorText(value.bstrVal, SysStringLen(value.bstrVal), str::ThreadAnsiCodePage());
  }
  VariantClear(&value);
  return read ? NameRead::Read : NameRead::NoName;
}

}  // namespace

const char* NoCompressorEntry(CompressorCategory category) { return Info(category).noCompressor; }

std::string CompressorText(const wchar_t* wide, size_t maxWide, unsigned codePage) {
  if (!wide) return std::string();
  std::wstring text(wide, wcsnlen(wide, maxWide));
  std::string ansi = str::ToAnsi(text.c_str(), codePage);
  CutToNameLength(ansi, codePage);
  return ansi;
}

void CutToNameLength(std::string& text, unsigned codePage) {
  const char* start = text.c_str();
  size_t end = 0;
  for (const char* c = start; *c;) {
    const char* next = CharNextExA(static_cast<WORD>(codePage), c, 0);
    if (next == c || static_cast<size_t>(next - start) > kMaxCompressorNameChars) break;
    end = static_cast<size_t>(next - start);
    c = next;
  }
  text.resize(end);
}

HRESULT FillCompressorList(CompressorCategory category, HWND list) {
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Info(category).noCompressor));
  HRESULT hr = ForEachMember(GetParent(list), category, [list](IMoniker* member) {
    std::string name;
    if (ReadFriendlyName(member, name) == NameRead::Read)
      SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    return false;
  });
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  return hr;
}

void CreateCompressor(HWND owner, CompressorCategory category, int n, ComPtr<IBaseFilter>* out) {
  if (!out) {
    AppMessageBox(owner, Info(category).missingOutput);
    return;
  }
  out->Reset();
  if (n < 0) return;
  int position = 0;
  ForEachMember(owner, category, [&](IMoniker* member) {
    if (position++ < n) return false;
    if (FAILED(
            member->BindToObject(nullptr, nullptr, IID_PPV_ARGS(out->ReleaseAndGetAddressOf())))) {
      out->Reset();
      AppMessageBox(owner, "Failed to bind to object");
    }
    return true;
  });
}

void GetCompressor(HWND owner, int n, ComPtr<IBaseFilter>* out) {
  CreateCompressor(owner, CompressorCategory::Video, n, out);
}

void GetAudioCompressor(HWND owner, int n, ComPtr<IBaseFilter>* out) {
  CreateCompressor(owner, CompressorCategory::Audio, n, out);
}

bool FindCompressorByName(HWND owner, CompressorCategory category, const char* fragment,
                          int& position) {
  const std::string wanted = str::ToLower(fragment);
  int counter = 0;
  bool found = false;
  ForEachMember(owner, category, [&](IMoniker* member) {
    std::string name;
    NameRead read = ReadFriendlyName(member, name);
    if (read == NameRead::NoPropertyBag) return false;
    if (read == NameRead::Read && str::ToLower(name.c_str()).find(wanted) != std::string::npos) {
      found = true;
      position = counter;
      return true;
    }
    ++counter;
    return false;
  });
  return found;
}
