#include "standins/mux/HeaderRefresh.h"

bool HeaderRefresh::Due(int64_t time, uint64_t end) {
  if (time > m_latest) m_latest = time;
  if (end <= m_end) return false;  // nothing new
  const uint64_t grown = end - m_end;
  const uint64_t byShare = m_limits.share > 0 ? m_end / m_limits.share : m_limits.bytes;
  return m_latest - m_refreshed >= m_limits.span || grown >= m_limits.bytes || grown >= byShare;
}

void HeaderRefresh::Done(uint64_t end) {
  m_end = end;
  m_refreshed = m_latest;
}
