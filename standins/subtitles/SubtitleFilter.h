#pragma once
// The subtitle filter: sits between a video decoder and the renderer and draws
// the cues of the source's subtitle file into the frames. Its settings decide
// whether it joins a graph at all.

#include <memory>
#include <string>

#include "standins/base/Filter.h"
#include "standins/subtitles/SubtitleInputPin.h"
#include "standins/subtitles/SubtitleOutputPin.h"

class SubtitlePainter;

extern const CLSID kSubtitleFilterClass;

class SubtitleFilter final : public standin::Filter {
 public:
  SubtitleFilter();

  int PinCount() override { return 2; }
  standin::Pin* PinAt(int n) override;

  SubtitleInputPin& Input() { return m_input; }
  SubtitleOutputPin& Output() { return m_output; }

  // Whether the settings let the filter into this graph now.
  bool MayJoin();
  // Notes the graph's source file, while connecting: state changes may come on
  // threads where calling the graph is not safe.
  void FindSource();
  // What draws the current run's cues; nullptr when nothing is drawn.
  std::shared_ptr<SubtitlePainter> Painter();

 protected:
  HRESULT OnPause(FILTER_STATE from) override;

 private:
  SubtitleInputPin m_input;
  SubtitleOutputPin m_output;
  std::wstring m_sourceFile;               // under the state lock
  standin::CriticalSection m_painterLock;  // guards m_painter only
  std::shared_ptr<SubtitlePainter> m_painter;
};
