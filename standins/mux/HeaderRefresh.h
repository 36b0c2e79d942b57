#pragma once
// When a writer brings its headers up to date in place while it writes, so
// that a file cut off by a crash or a power cut reads with the length written
// so far: once the output has advanced by a span of time since the last
// refresh, or the file has grown by a set number of bytes or by a share of its
// size then, whichever comes first. Readers trust a header's lengths only
// while the file is not much larger than the header says (one in a twentieth
// for ASF), hence the share. Output time and bytes decide, never the clock,
// so a file's refreshes depend on its samples alone. No Windows headers:
// built natively too.

#include <cstdint>

class HeaderRefresh {
 public:
  struct Limits {
    int64_t span = 20000000;       // 100 ns units of output; 0: after every sample
    uint64_t bytes = 64ull << 20;  // the most written between two refreshes
    uint64_t share = 32;           // and 1/share of the file at the last one; 0: no such bound
  };

  explicit HeaderRefresh(Limits limits) : m_limits(limits) {}

  // After a sample at time (100 ns units; its stream's, in the file) that left
  // the file written up to end bytes: whether the headers are due.
  bool Due(int64_t time, uint64_t end);
  // The headers now describe the file up to end.
  void Done(uint64_t end);

 private:
  Limits m_limits;
  int64_t m_latest = 0;     // the latest sample time seen, 100 ns units
  int64_t m_refreshed = 0;  // m_latest at the last refresh
  uint64_t m_end = 0;       // bytes the last refresh described
};
