// The AVI multiplexer and the capture graph builder stand-in in Wine's real
// graph: outputs that cannot be made; and the multiplexers' writing thread.
// (What each multiplexer writes is in ContainerMuxGraphTest.)

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "engine/PinSearch.h"
#include "standins/base/SampleAllocator.h"
#include "standins/mux/BackgroundWriter.h"
#include "standins/mux/ContainerWriter.h"
#include "support/ClipFolder.h"
#include "support/HangWatch.h"
#include "support/MuxGraphTest.h"

using Microsoft::WRL::ComPtr;

namespace {

using AviMuxGraphTest = MuxGraphTest;

constexpr int32_t kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

// An output that cannot be opened ends the run at once with the code, and the
// graph stops and goes as after any run (a failed Pause would leave Wine's
// graph unable to let go of its filters).
TEST_F(AviMuxGraphTest, AnOutputThatCannotBeOpenedEndsTheRunWithItsCode) {
  ASSERT_NO_FATAL_FAILURE(Prepare(m_clips.MakeAvi("clip.avi", ClipShape{64, 48, 25, 5, true})));
  ASSERT_NO_FATAL_FAILURE(BuildOutput(MEDIASUBTYPE_Avi, m_clips.PathOf("missing\\out.avi")));
  const auto events = RunToCompletion(m_graph.Get());
  EXPECT_TRUE(HasEvent(events, EC_ERRORABORT, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)));
  ReleaseGraph();
}

TEST_F(AviMuxGraphTest, OtherOutputTypesCreateTheirClassOrPassItsFailureOn) {
  const CLSID kUnregistered = {
      0x5E0C7A41, 0x93B2, 0x4F6D, {0x8A, 0x1E, 0x27, 0xC4, 0x90, 0x3B, 0x6D, 0x15}};
  const struct {
    const GUID* type;
    HRESULT expected;
  } cases[] = {
      {&kUnregistered, REGDB_E_CLASSNOTREG},
      {&CLSID_WMAsfWriter, REGDB_E_CLASSNOTREG},
      {&MEDIASUBTYPE_Asf, REGDB_E_CLASSNOTREG},
      {&CLSID_FilterGraph, E_NOINTERFACE},  // a class that is no filter
  };
  ASSERT_NO_FATAL_FAILURE(Prepare(m_clips.MakeAvi("clip.avi", ClipShape{64, 48, 25, 5, true})));
  for (const auto& c : cases) {
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    EXPECT_EQ(m_builder->SetOutputFileName(c.type, L"C:\\out.mkv", &mux, &sink), c.expected);
    EXPECT_FALSE(mux || sink);
  }
  ComPtr<IBaseFilter> mux;
  EXPECT_EQ(m_builder->SetOutputFileName(nullptr, L"C:\\out.avi", &mux, nullptr), E_POINTER);
  std::vector<ComPtr<IBaseFilter>> filters;
  ASSERT_EQ(FiltersOf(m_graph.Get(), filters), S_OK);
  EXPECT_EQ(filters.size(), 2u) << "the source and the splitter: nothing added on failure";
}

// A disk behind the writing thread: logs the first byte of each sample it
// writes and how many samples were posted by then; fails the failAt-th write
// (from 1), and takes slowMs over each.
class LoggingContainer final : public ContainerWriter {
 public:
  LoggingContainer(const std::atomic<int>& posted, int failAt, DWORD slowMs)
      : ContainerWriter(1), m_posted(posted), m_failAt(failAt), m_slowMs(slowMs) {}
  std::string log;
  int mostAhead = 0;  // samples posted and not yet written, at most

 private:
  bool Acceptable() const override { return true; }
  int32_t WriteHead() override { return 0; }
  int32_t WriteSample(size_t, const void* data, size_t, bool, int64_t) override {
    Sleep(m_slowMs);
    mostAhead = std::max(mostAhead, m_posted.load() - m_writes);
    if (++m_writes == m_failAt) return kDiskFull;
    log += std::to_string(*static_cast<const uint8_t*>(data)) + " ";
    return 0;
  }
  int32_t WriteEnd() override { return 0; }

  const std::atomic<int>& m_posted;
  int m_failAt;
  DWORD m_slowMs;
  int m_writes = 0;
};

// Samples held from an allocator of two buffers must come back as soon as
// they are written, or their producer waits for ever; copies wait only beyond
// the 4 MB backlog; after a failed write nothing more is written.
TEST(BackgroundWriter, WritesInOrderGivesHeldBuffersBackAndBoundsTheBacklog) {
  const struct {
    const char* name;
    int samples;
    size_t bytes;
    bool held;
    int failAt;
    DWORD slowMs;
    int32_t status;
    int written;
    int mostAhead;
  } cases[] = {
      {"small pictures held from two buffers", 60, 1000, true, 0, 0, 0, 60, 2},
      {"1 MB copies to a slow disk", 12, 1u << 20, false, 0, 20, 0, 12, 5},
      {"a failed write", 12, 1000, true, 4, 0, kDiskFull, 3, 2},
  };
  HangWatch watch("the writing thread's producer", 60000);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::atomic<int> posted{0};
    LoggingContainer disk(posted, c.failAt, c.slowMs);
    ASSERT_EQ(disk.Start(), 0);
    ComPtr<IMemAllocator> buffers;
    buffers.Attach(standin::SampleAllocator::Create());
    ALLOCATOR_PROPERTIES props = {2, static_cast<long>(c.bytes), 1, 0}, actual = {};
    ASSERT_EQ(buffers->SetProperties(&props, &actual), S_OK);
    ASSERT_EQ(buffers->Commit(), S_OK);
    std::string expected;
    int32_t status = 0;
    {
      BackgroundWriter writer(disk);
      for (int i = 0; i < c.samples; ++i) {
        BackgroundWriter::Sample sample;
        if (c.held) {
          ASSERT_EQ(buffers->GetBuffer(&sample.held, nullptr, nullptr, 0), S_OK);
          BYTE* bytes = nullptr;
          sample.held->GetPointer(&bytes);
          bytes[0] = static_cast<BYTE>(i);
          sample.heldBytes = bytes;
          sample.heldSize = c.bytes;
        } else {
          sample.data.assign(c.bytes, static_cast<uint8_t>(i));
        }
        ++posted;
        status = writer.Post(std::move(sample));
        if (i < c.written) expected += std::to_string(i) + " ";
      }
      EXPECT_EQ(writer.Drain(), c.status);
    }
    EXPECT_EQ(status, c.status) << "Post answers the failure";
    EXPECT_EQ(disk.log, expected);
    EXPECT_LE(disk.mostAhead, c.mostAhead);
    ComPtr<IMediaSample> first, second;
    EXPECT_EQ(buffers->GetBuffer(&first, nullptr, nullptr, AM_GBF_NOWAIT), S_OK);
    EXPECT_EQ(buffers->GetBuffer(&second, nullptr, nullptr, AM_GBF_NOWAIT), S_OK);
  }
}

}  // namespace
