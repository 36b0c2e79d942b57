#include "app/BatchRun.h"

BatchRun::BatchRun(std::vector<std::string> videos, Options options)
    : m_videos(std::move(videos)),
      m_options(std::move(options)),
      m_converted(m_videos.size()),
      m_firstNotes(m_videos.size()) {}

bool BatchRun::Begin() {
  if (m_cancelled || m_next >= m_videos.size()) return false;
  if (m_next > 0) m_firstNotes[m_current] = FirstNote(m_current);
  m_current = m_next++;
  m_notes.clear();
  return true;
}

void BatchRun::End(bool converted) {
  if (m_next > 0) m_converted[m_current] = converted;
}

int BatchRun::NotConverted() const {
  int count = 0;
  for (size_t i = 0; i < m_videos.size(); ++i) count += Converted(i) ? 0 : 1;
  return count;
}

std::string BatchRun::Report() const { return Lines(false); }

std::string BatchRun::Remarks() const { return Lines(true); }

std::string BatchRun::Lines(bool converted) const {
  std::string lines;
  for (size_t i = 0; i < m_videos.size(); ++i) {
    if (Converted(i) != converted) continue;
    const std::string note = FirstNote(i);
    if (converted && note.empty()) continue;
    lines += m_videos[i] + (note.empty() ? "" : ": " + note) + "\n";
  }
  return lines;
}

std::string BatchRun::FirstNote(size_t video) const {
  if (m_next == 0 || video != m_current) return m_firstNotes[video];
  return m_notes.empty() ? std::string() : m_notes.front();
}
