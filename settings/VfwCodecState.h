#pragma once
// The state that the last configured Video for Windows codec reported, kept
// for the rest of the run so that its configuration dialog reopens with the
// choices confirmed last time. Never written to disk. It records only its
// size, not which codec it came from.

#include <cstddef>
#include <memory>

class VfwCodecState {
 public:
  // Readies the block for a codec whose state has size bytes (size > 0). True
  // when the block already holds a confirmed state of exactly that size, to be
  // given to the codec first; otherwise the block is a new, empty one, or
  // missing (Data() is null) when that much memory cannot be had.
  bool Prepare(size_t size);
  // The codec has written its confirmed state into the block.
  void MarkHeld() { m_held = m_block != nullptr; }

  void* Data() const { return m_block.get(); }
  size_t Size() const { return m_size; }
  bool Held() const { return m_held; }

 private:
  static constexpr std::align_val_t kAlignment{16};
  struct AlignedDelete {
    void operator()(std::byte* block) const;
  };

  std::unique_ptr<std::byte[], AlignedDelete> m_block;
  size_t m_size = 0;
  bool m_held = false;
};
