#include "standins/subtitles/SubtitleFilter.h"

#include "standins/subtitles/AheadRasterizer.h"
#include "standins/subtitles/GdiCueRasterizer.h"
#include "standins/subtitles/GraphSource.h"
#include "standins/subtitles/SubtitleFile.h"
#include "standins/subtitles/SubtitlePainter.h"
#include "standins/subtitles/SubtitleSettings.h"

// {C64C01D7-9448-40E0-96C2-66382B59FFDC}
const CLSID kSubtitleFilterClass = {
    0xc64c01d7, 0x9448, 0x40e0, {0x96, 0xc2, 0x66, 0x38, 0x2b, 0x59, 0xff, 0xdc}};

SubtitleFilter::SubtitleFilter() : Filter(kSubtitleFilterClass), m_input(*this), m_output(*this) {}

standin::Pin* SubtitleFilter::PinAt(int n) {
  if (n == 0) return &m_input;
  return n == 1 ? &m_output : nullptr;
}

bool SubtitleFilter::MayJoin() {
  switch (ReadLoadLevel()) {
    case LoadLevel::kAlways:
      return true;
    case LoadLevel::kWithSubtitles:
      return !FindSubtitleFile(SourceFileOf(Graph())).empty();
    case LoadLevel::kNever:
      break;
  }
  return false;
}

void SubtitleFilter::FindSource() {
  standin::AutoLock lock(StateLock());
  m_sourceFile = SourceFileOf(Graph());
}

std::shared_ptr<SubtitlePainter> SubtitleFilter::Painter() {
  standin::AutoLock lock(m_painterLock);
  return m_painter;
}

// Each run reads the subtitle file afresh, so that an edited file shows.
HRESULT SubtitleFilter::OnPause(FILTER_STATE from) {
  if (from != State_Stopped) return S_OK;
  std::shared_ptr<SubtitlePainter> painter;
  const std::wstring file = FindSubtitleFile(m_sourceFile);
  CueList cues = file.empty() ? CueList() : LoadSubtitleFile(file);
  if (!cues.Empty())
    painter = std::make_shared<SubtitlePainter>(
        std::move(cues), std::make_unique<AheadRasterizer>(
                             [] { return std::make_unique<GdiCueRasterizer>(); }));
  standin::AutoLock lock(m_painterLock);
  m_painter = std::move(painter);
  return S_OK;
}
