#include "e2e/ConversionSession.h"

#include <dlgs.h>

#include "i18n/Localization.h"
#include "res/resource.h"

namespace {

constexpr char kMainCaption[] = "RoroVozaririd";
constexpr char kOptionsCaption[] = "Output options";

void Select(HWND dialog, int comboId, int position) {
  HWND combo = GetDlgItem(dialog, comboId);
  SendMessageA(combo, CB_SETCURSEL, position, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

std::vector<ConversionSession::Box> NotOpenedBoxes() {
  const std::string notOpened = BuiltInString(IDS_MESSAGE_NOT_OPEN_FILE);
  return {{"Error IDS_MESSAGE_NOT_OPEN_FILE", notOpened},
          {"Error IDS_MESSAGE_NO_DURATION", BuiltInString(IDS_MESSAGE_NO_DURATION) + notOpened}};
}

bool ConversionSession::Start(const std::string& arguments, size_t boxesFirst) {
  if (!m_driver.Start(ProgramDriver::ProgramPath(), arguments)) return false;
  for (size_t i = 0; i < boxesFirst; ++i) AnswerBox();
  m_main = m_driver.WaitForWindow(kMainCaption, kTimeoutMs);
  return m_main != nullptr;
}

int ConversionSession::ConvertBatch(const std::vector<std::string>& videos, const char* format,
                                    const std::string& folder, DWORD timeoutMs,
                                    const std::vector<std::string>& alongside) {
  const auto arguments = [&](const std::vector<std::string>& list) {
    std::string line = "/convert";
    for (const std::string& video : list) line += " \"" + video + '"';
    return line + " /format " + format + " /outdir \"" + folder + "\" /exit";
  };
  // The other instance is up (it holds what it set at start) when the batch starts.
  ProgramDriver batch, other;
  if ((!alongside.empty() && (!other.Start(ProgramDriver::ProgramPath(), arguments(alongside)) ||
                              !other.WaitForWindow(kMainCaption, timeoutMs))) ||
      !batch.Start(ProgramDriver::ProgramPath(), arguments(videos)))
    return -1;
  DWORD exitCode = 0, otherCode = 0;
  if (!batch.WaitForExit(timeoutMs, &exitCode) ||
      (!alongside.empty() && !other.WaitForExit(timeoutMs, &otherCode)))
    return -1;
  return static_cast<int>(exitCode + otherCode);
}

bool ConversionSession::ChooseOutput(const OutputChoice& choice, size_t boxesAtOpening) {
  ProgramDriver::Click(m_main, IDC_BUTTON_OUTPUT_SETTINGS);
  for (size_t i = 0; i < boxesAtOpening; ++i) AnswerBox();
  HWND options = m_driver.WaitForWindow(kOptionsCaption, kTimeoutMs);
  if (!options) return false;
  Select(options, IDC_COMBO_OUTPUT_FORMAT, choice.format);
  SetDlgItemTextA(options, IDC_EDIT_OUTPUT_FILE, choice.path.c_str());
  Select(options, IDC_COMBO_VIDEO_COMPRESSOR, choice.videoCompressorEntry);
  Select(options, IDC_COMBO_AUDIO_COMPRESSOR, choice.audioCompressorEntry);
  ProgramDriver::Click(options, IDC_BUTTON_OPTIONS_OK);
  return WaitUntil([&] { return !IsWindow(options); }, kTimeoutMs);
}

std::string ConversionSession::OpenVideo(const std::string& path) {
  const std::string before = ProgramDriver::Text(m_main, IDC_STATIC_SOURCE_LINE);
  if (!AskToOpen(std::wstring(path.begin(), path.end()))) return "";
  WaitUntil([&] { return ProgramDriver::Text(m_main, IDC_STATIC_SOURCE_LINE) != before; },
            kTimeoutMs);
  return ProgramDriver::Text(m_main, IDC_STATIC_SOURCE_LINE);
}

bool ConversionSession::AskToOpen(const std::wstring& path) {
  ProgramDriver::Click(m_main, IDC_BUTTON_ADD_VIDEO);
  HWND ask = m_driver.WaitForWindow(BuiltInString(IDS_MESSAGE_OPEN_FILE).c_str(), kTimeoutMs);
  if (!ask) return false;
  HWND name = GetDlgItem(ask, cmb13) ? GetDlgItem(ask, cmb13) : GetDlgItem(ask, edt1);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(ask, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntil([&] { return !IsWindow(ask); }, kTimeoutMs);
}

ConversionSession::Box ConversionSession::AnswerBox(int button, DWORD timeoutMs) {
  HWND box = m_driver.WaitForMessageBox(timeoutMs);
  if (!box) return {};
  Box shown = {ProgramDriver::Caption(box), ProgramDriver::Text(box, 0xFFFF)};
  m_answered.push_back(shown);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  WaitUntil([&] { return !IsWindow(box); }, kTimeoutMs);
  return shown;
}

bool ConversionSession::Convert() {
  // A short conversion can end between two looks at the window: an emptied
  // summary line tells a new finish line from the one before.
  SetDlgItemTextA(m_main, IDC_STATIC_SUMMARY_LINE, "");
  ProgramDriver::Click(m_main, IDC_BUTTON_CONVERT);
  return WaitUntil(
      [&] {
        return ProgramDriver::Text(m_main, IDC_BUTTON_CONVERT) == "Stop" ||
               !ProgramDriver::Text(m_main, IDC_STATIC_SUMMARY_LINE).empty();
      },
      kTimeoutMs);
}

void ConversionSession::Stop() { ProgramDriver::Click(m_main, IDC_BUTTON_CONVERT); }

std::string ConversionSession::WaitForFinish(DWORD timeoutMs) {
  WaitUntil(
      [&] {
        const std::string line = ProgramDriver::Text(m_main, IDC_STATIC_SUMMARY_LINE);
        return ProgramDriver::Text(m_main, IDC_BUTTON_CONVERT) == "Convert" && !line.empty() &&
               !StartsWith(line, "Please wait");
      },
      timeoutMs);
  return ProgramDriver::Text(m_main, IDC_STATIC_SUMMARY_LINE);
}

bool ConversionSession::Close(std::vector<Box>* late) {
  if (!late) return m_driver.Close(m_main, kTimeoutMs);
  PostMessageA(m_main, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  const bool ended = WaitUntil(
      [&] {
        if (m_driver.WaitForMessageBox(0)) late->push_back(AnswerBox());
        return m_driver.WaitForExit(0, &exitCode);
      },
      kTimeoutMs);
  return ended && exitCode == 0;
}
