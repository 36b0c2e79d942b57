#pragma once
// Where a video stream's frames go in an AVI file, which keeps one frame rate
// and no times: each frame in the slot its time falls in, the slots before it
// left empty (dropped-frame chunks) from the file's 0 on. The rate is chosen
// from what arrives: the declared one, unless the first frames' shortest
// steady interval says otherwise (the common rate it is closest to, where it
// is that close). A frame whose slot is taken goes into the
// next free one while that plays it no more than a frame late; later still,
// a frame that may be dropped is, so that the picture never drifts from the
// sound. A jump of more slots than kMaxDroppedFrames is taken as a fault of
// the times: the stream goes on from its next slot. No Windows headers: built
// natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

class AviFrameSlots {
 public:
  // Empty chunks written for one gap at most: an hour at 25 frames a second.
  static constexpr uint64_t kMaxDroppedFrames = 90000;
  // How many first frames choose the rate: a second's at 25 frames a second,
  // enough to tell 30 from 29.97 in times rounded to the millisecond.
  static constexpr size_t kRateFrames = 25;

  // The frame duration (100 ns units) for frames that came at times, in order,
  // where declared (0: unknown) is the stream's own.
  static int64_t ChooseDuration(const std::vector<int64_t>& times, int64_t declared);

  explicit AviFrameSlots(int64_t duration) : m_duration(duration) {}

  struct Placement {
    uint64_t empty = 0;  // dropped-frame chunks to write before the frame
    bool drop = false;   // the frame is left out
  };
  // Where the frame at time (100 ns units) goes, the stream's next free slot
  // being next; droppable where no later frame depends on it.
  Placement Place(int64_t time, uint64_t next, bool droppable);

 private:
  double SlotOf(int64_t time) const;

  int64_t m_duration;      // 100 ns units
  int64_t m_baseTime = 0;  // a time whose slot is m_baseSlot
  uint64_t m_baseSlot = 0;
  bool m_based = false;
};
