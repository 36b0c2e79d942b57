// The AVI multiplexer and the capture graph builder stand-in in Wine's real
// graph: outputs that cannot be made. (What each multiplexer writes is in
// ContainerMuxGraphTest.)

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <vector>

#include "engine/PinSearch.h"
#include "support/ClipFolder.h"
#include "support/MuxGraphTest.h"

using Microsoft::WRL::ComPtr;

namespace {

using AviMuxGraphTest = MuxGraphTest;

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

}  // namespace
