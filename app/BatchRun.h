#pragma once
// A list of videos converted one after another: which one is being
// converted, what its prompts said, and which ones were not converted.

#include <optional>
#include <string>
#include <vector>

#include "settings/OutputFormat.h"

class BatchRun {
 public:
  struct Options {
    std::optional<OutputFormat> format;  // instead of the current one
    std::string outputFolder;            // empty: beside each video
    bool exitWhenDone = false;
    std::string reopen;  // opened again when the batch ends, when not empty
  };

  BatchRun(std::vector<std::string> videos, Options options);

  const Options& Settings() const { return m_options; }
  // Moves on to the next video; false when there is none or the batch was cancelled.
  bool Begin();
  // The video begun last.
  const std::string& Current() const { return m_videos[m_current]; }
  // Where the prompts go from Begin to the next Begin.
  std::vector<std::string>* Notes() { return &m_notes; }
  // How the current video ended.
  void End(bool converted);
  // Nothing more is begun.
  void Cancel() { m_cancelled = true; }

  // Videos not converted: failed, stopped, still running or never begun.
  int NotConverted() const;
  // The videos not converted, one per line, each with the first thing its
  // prompts said; empty when every one was converted.
  std::string Report() const;
  // The videos converted of which their prompts said something (that the
  // output seems to end early, say), in the same form.
  std::string Remarks() const;

 private:
  bool Converted(size_t video) const { return m_converted[video].value_or(false); }
  std::string FirstNote(size_t video) const;
  // The converted or the not converted videos of Report, with their notes.
  std::string Lines(bool converted) const;

  std::vector<std::string> m_videos;
  Options m_options;
  std::vector<std::optional<bool>> m_converted;  // per video, once it ended
  std::vector<std::string> m_firstNotes;         // per video, once the next one began
  std::vector<std::string> m_notes;              // of the current video
  size_t m_next = 0;
  size_t m_current = 0;
  bool m_cancelled = false;
};
