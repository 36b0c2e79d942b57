#pragma once
// The real program driven through a conversion as a user would: Options to
// choose the output, Open Video through the system's open-file dialog, Convert,
// Stop, and the summary line that tells how it ended.

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/ProgramDriver.h"
#include "support/ClipFolder.h"

// Ten minutes: too long for any machine to convert in the few seconds a test
// takes to watch, stop or kill its conversion.
inline const ClipShape kLongClip = {320, 240, 25, 25 * 600, true};

struct OutputChoice {
  int format = 0;  // position in the Output format list: 0 AVI, 1 WMV, 2 MKV, 3 ASF
  std::string path;
  int videoCompressorEntry = 0;  // position in the list; 0 is "no compressor"
  int audioCompressorEntry = 0;
};

class ConversionSession {
 public:
  static constexpr DWORD kTimeoutMs = 60000;

  // Starts the program with arguments, answering with OK the message boxes
  // that come before its main window (see Answered); false when the window
  // did not come up.
  bool Start(const std::string& arguments = "", size_t boxesFirst = 0);
  // Runs the program as "/convert videos /format format /outdir folder /exit",
  // and with videos alongside, a second instance the same way for them, whose
  // window is up when the first starts; their exit codes added (how many they
  // did not convert), -1 when one did not end in time.
  static int ConvertBatch(const std::vector<std::string>& videos, const char* format,
                          const std::string& folder, DWORD timeoutMs,
                          const std::vector<std::string>& alongside = {});
  HWND Main() const { return m_main; }
  ProgramDriver& Driver() { return m_driver; }

  // Options -> the message boxes of its opening answered -> the choice -> OK;
  // false when the dialog did not come or stayed open.
  bool ChooseOutput(const OutputChoice& choice, size_t boxesAtOpening = 0);
  // Open Video with path typed into the open-file dialog; the new source line.
  std::string OpenVideo(const std::string& path);
  // Open Video with path typed (in UTF-16, as a user types any name) into the
  // open-file dialog; true once the dialog has taken it.
  bool AskToOpen(const std::wstring& path);
  // Presses Convert; true once the graph runs (the button reads "Stop") or the
  // conversion has already ended.
  bool Convert();
  // Presses Stop (the Convert button while converting).
  void Stop();
  // The summary line once the conversion has ended ("Done. ..." or a failure).
  std::string WaitForFinish(DWORD timeoutMs = kTimeoutMs);

  struct Box {
    std::string caption;  // empty when no box came
    std::string text;
  };
  // The program's next message box, answered with button.
  Box AnswerBox(int button = IDOK, DWORD timeoutMs = kTimeoutMs);
  // Every box answered so far, in order.
  const std::vector<Box>& Answered() const { return m_answered; }
  // Closes the main window; true when the program ended with exit code 0. With
  // late, a message box up or coming before the program ends is answered with
  // OK and kept there: whatever was queued before the close (a conversion's
  // end included) is handled first, and a box keeps the program open.
  bool Close(std::vector<Box>* late = nullptr);

 private:
  ProgramDriver m_driver;
  HWND m_main = nullptr;
  std::vector<Box> m_answered;
};

// The boxes that opening a file the platform cannot render shows, in order.
std::vector<ConversionSession::Box> NotOpenedBoxes();

// The summary line at a conversion's end as the program writes it in English:
// outcome ("Done", "Conversion failed"), the output's path, the resolution.
inline std::string FinishLine(const std::string& outcome, const std::string& output,
                              const std::string& resolution) {
  return outcome + ". Output file: " + output + "     Resolution: " + resolution;
}
