#include "standins/subtitles/AheadRasterizer.h"

#include <algorithm>

namespace {

// Overlays made and not yet taken, at most; the oldest made goes first (its
// cue was skipped, or the picture size changed).
constexpr size_t kMostJobs = 4;

}  // namespace

AheadRasterizer::AheadRasterizer(Factory make)
    : m_thread([this, make = std::move(make)] { Run(make); }) {}

AheadRasterizer::~AheadRasterizer() {
  {
    standin::SlimAutoLock lock(m_lock);
    m_ending = true;
    WakeAllConditionVariable(&m_queued);
  }
  m_thread.join();
}

void AheadRasterizer::Expect(const Cue& cue, int pictureWidth, int pictureHeight) {
  standin::SlimAutoLock lock(m_lock);
  if (FindLocked(cue, pictureWidth, pictureHeight) != m_jobs.end()) return;
  if (m_jobs.size() >= kMostJobs) {
    const auto made = std::find_if(m_jobs.begin(), m_jobs.end(), [](const Job& j) { return j.done; });
    if (made == m_jobs.end()) return;
    m_jobs.erase(made);
  }
  m_jobs.push_back({&cue, pictureWidth, pictureHeight});
  WakeAllConditionVariable(&m_queued);
}

Overlay AheadRasterizer::Rasterize(const Cue& cue, int pictureWidth, int pictureHeight) {
  standin::SlimAutoLock lock(m_lock);
  auto job = FindLocked(cue, pictureWidth, pictureHeight);
  if (job == m_jobs.end()) {
    // Before every job not yet started: this one is wanted now.
    const auto waiting =
        std::find_if(m_jobs.begin(), m_jobs.end(), [](const Job& j) { return !j.started; });
    job = m_jobs.insert(waiting, {&cue, pictureWidth, pictureHeight});
    WakeAllConditionVariable(&m_queued);
  }
  while (!job->done) m_lock.Wait(m_made);
  Overlay overlay = std::move(job->overlay);
  m_jobs.erase(job);
  return overlay;
}

std::list<AheadRasterizer::Job>::iterator AheadRasterizer::FindLocked(const Cue& cue, int width,
                                                                      int height) {
  return std::find_if(m_jobs.begin(), m_jobs.end(), [&](const Job& j) {
    return j.cue == &cue && j.width == width && j.height == height;
  });
}

void AheadRasterizer::Run(const Factory& make) {
  const std::unique_ptr<CueRasterizer> rasterizer = make();
  standin::SlimAutoLock lock(m_lock);
  for (;;) {
    auto job = m_jobs.end();
    while (!m_ending &&
           (job = std::find_if(m_jobs.begin(), m_jobs.end(),
                               [](const Job& j) { return !j.started; })) == m_jobs.end())
      m_lock.Wait(m_queued);
    if (m_ending) return;
    job->started = true;
    m_lock.Leave();
    Overlay overlay = rasterizer->Rasterize(*job->cue, job->width, job->height);
    m_lock.Enter();
    job->overlay = std::move(overlay);
    job->done = true;
    WakeAllConditionVariable(&m_made);
  }
}
