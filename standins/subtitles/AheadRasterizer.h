#pragma once
// Rasterizes cues on a thread of its own, ahead of the frames they show in,
// so that a streaming thread does not stop for the text drawing: the painter
// names each cue it expects next, and Rasterize takes the overlay made for
// it, waiting only while it is still being made (a cue never expected is made
// before the others). The wrapped rasterizer is made and used on that thread
// only; at most a few overlays wait to be taken.

#include <functional>
#include <list>
#include <memory>
#include <thread>

#include "standins/base/SlimLock.h"
#include "standins/subtitles/CueRasterizer.h"
#include "standins/subtitles/Overlay.h"

class AheadRasterizer final : public CueRasterizer {
 public:
  using Factory = std::function<std::unique_ptr<CueRasterizer>()>;

  explicit AheadRasterizer(Factory make);
  ~AheadRasterizer() override;
  AheadRasterizer(const AheadRasterizer&) = delete;
  AheadRasterizer& operator=(const AheadRasterizer&) = delete;

  // cue: outlives this object (the painter's list).
  void Expect(const Cue& cue, int pictureWidth, int pictureHeight) override;
  Overlay Rasterize(const Cue& cue, int pictureWidth, int pictureHeight) override;

 private:
  struct Job {
    const Cue* cue;
    int width, height;
    bool started = false;
    bool done = false;
    Overlay overlay;
  };

  void Run(const Factory& make);
  std::list<Job>::iterator FindLocked(const Cue& cue, int width, int height);

  standin::SlimLock m_lock;
  CONDITION_VARIABLE m_queued = CONDITION_VARIABLE_INIT;  // a job, or the end
  CONDITION_VARIABLE m_made = CONDITION_VARIABLE_INIT;    // a job is done
  std::list<Job> m_jobs;  // in the order they are made
  bool m_ending = false;
  std::thread m_thread;
};
