#include "standins/mux/ContainerWriter.h"

int32_t ContainerWriter::Start() {
  if (m_started) return kUnexpected;
  if (!Acceptable()) return kInvalidArg;
  m_started = true;
  return Keep(WriteHead());
}

int32_t ContainerWriter::Write(size_t stream, const void* data, size_t size, bool keyFrame,
                               int64_t time) {
  const int32_t refusal = Refusal(stream);
  if (refusal != 0) return refusal;
  return Keep(WriteSample(stream, data, size, keyFrame, time));
}

int32_t ContainerWriter::Finish() {
  if (!m_started) return kUnexpected;
  if (m_finished) return m_failure;
  m_finished = true;
  Keep(WriteEnd());
  return m_failure;
}

int32_t ContainerWriter::Refusal(size_t stream) const {
  if (m_failure != 0) return m_failure;
  if (!m_started || m_finished || stream >= m_streamCount) return kUnexpected;
  return 0;
}

int32_t ContainerWriter::Keep(int32_t status) {
  if (m_failure == 0) m_failure = status;
  return status;
}
