// The stand-ins' filter base in Wine's real graphs: a sink made of input pins
// that the graph counts as a renderer, and a copying pass-through made of an
// input and an output pin.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <memory>
#include <thread>
#include <vector>

#include "platform/Str.h"
#include "standins/base/Filter.h"
#include "standins/base/InputPin.h"
#include "standins/base/OutputPin.h"
#include "standins/base/SampleAllocator.h"
#include "support/ClipFolder.h"
#include "support/HangWatch.h"
#include "support/ComApartment.h"
#include "support/GraphRun.h"
#include "support/RecordingSink.h"
#include "support/ScriptedDialog.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr CLSID kPassClass = {
    0x5d1c7e40, 0x3a1b, 0x4c55, {0x9a, 0x51, 0x11, 0x2e, 0x6f, 0x20, 0x8b, 0x02}};

class PassThrough;

class PassInput final : public standin::InputPin {
 public:
  PassInput(PassThrough& filter);
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
    return mt.majortype == MEDIATYPE_Video ? S_OK : S_FALSE;
  }

 protected:
  HRESULT OnReceive(IMediaSample* sample) override;
  HRESULT OnEndOfStream() override;

 private:
  PassThrough& m_pass;
};

class PassOutput final : public standin::OutputPin {
 public:
  PassOutput(PassThrough& filter);
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
  HRESULT GetMediaType(int n, standin::MediaType& mt) override;
  bool inUpstreamBuffers = false;  // copies into upstream's allocator, as the subtitle filter may

 protected:
  standin::Pin* SeekingSource() override;
  IMemAllocator* PassThroughAllocator() override;

 private:
  PassThrough& m_pass;
};

// Copies every video sample into a buffer of its own and delivers that.
class PassThrough final : public standin::Filter {
 public:
  PassThrough() : Filter(kPassClass), m_input(*this), m_output(*this) {}
  int PinCount() override { return 2; }
  standin::Pin* PinAt(int n) override {
    return n == 0 ? static_cast<standin::Pin*>(&m_input) : n == 1 ? &m_output : nullptr;
  }
  PassInput m_input;
  PassOutput m_output;
};

PassInput::PassInput(PassThrough& filter) : InputPin(filter, L"In"), m_pass(filter) {}

HRESULT PassInput::OnReceive(IMediaSample* sample) {
  ComPtr<IMediaSample> copy;
  HRESULT hr = m_pass.m_output.GetDeliveryBuffer(&copy);
  if (FAILED(hr)) return hr;
  BYTE* from = nullptr;
  BYTE* to = nullptr;
  sample->GetPointer(&from);
  copy->GetPointer(&to);
  const long length = sample->GetActualDataLength();
  if (length > copy->GetSize()) return E_FAIL;
  memcpy(to, from, length);
  copy->SetActualDataLength(length);
  REFERENCE_TIME start = 0, stop = 0;
  if (SUCCEEDED(sample->GetTime(&start, &stop))) copy->SetTime(&start, &stop);
  copy->SetSyncPoint(sample->IsSyncPoint() == S_OK);
  return m_pass.m_output.Deliver(copy.Get());
}

HRESULT PassInput::OnEndOfStream() { return m_pass.m_output.DeliverEndOfStream(); }

PassOutput::PassOutput(PassThrough& filter) : OutputPin(filter, L"Out"), m_pass(filter) {}

HRESULT PassOutput::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  const standin::MediaType& in = m_pass.m_input.ConnectionType();
  return m_pass.m_input.IsConnected() && mt.subtype == in->subtype ? S_OK : S_FALSE;
}

HRESULT PassOutput::GetMediaType(int n, standin::MediaType& mt) {
  if (n != 0 || !m_pass.m_input.IsConnected()) return VFW_S_NO_MORE_ITEMS;
  mt = m_pass.m_input.ConnectionType();
  return S_OK;
}

standin::Pin* PassOutput::SeekingSource() { return &m_pass.m_input; }

IMemAllocator* PassOutput::PassThroughAllocator() {
  return inUpstreamBuffers ? m_pass.m_input.UpstreamAllocator() : nullptr;
}

class FilterBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_com.Entered());
    m_clip = m_clips.MakeAvi("clip.avi", ClipShape{160, 120, 25, 50, true});
    ASSERT_FALSE(m_clip.empty());
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&m_graph))));
    *m_sink.ReleaseAndGetAddressOf() = new RecordingSink();  // adopts the creation reference
    // A filter already in the graph is tried before any registered one.
    ASSERT_EQ(m_graph->AddFilter(m_sink.Get(), L"Sink"), S_OK);
  }
  void TearDown() override {
    ComPtr<IMediaControl> control;
    if (m_graph && SUCCEEDED(m_graph.As(&control))) control->Stop();
    m_sink.Reset();
    m_graph.Reset();
  }

  HRESULT Render() { return m_graph->RenderFile(str::ToWide(m_clip.c_str()).c_str(), nullptr); }
  RecordingSink& SinkFilter() { return *static_cast<RecordingSink*>(m_sink.Get()); }
  // Puts a pass-through between the rendered graph's video source and the
  // sink, whose video pin supplies an allocator or not; false when it failed.
  bool InsertPassThrough(ComPtr<IBaseFilter>& pass, RecordingPin::Offer sinkOffers,
                         bool inUpstreamBuffers = false) {
    ComPtr<IPin> upstream;
    if (SinkFilter().m_video.ConnectedTo(&upstream) != S_OK) return false;
    if (m_graph->Disconnect(upstream.Get()) != S_OK) return false;
    if (m_graph->Disconnect(&SinkFilter().m_video) != S_OK) return false;
    *pass.ReleaseAndGetAddressOf() = new PassThrough();
    auto& filter = *static_cast<PassThrough*>(pass.Get());
    SinkFilter().m_video.offer = sinkOffers;
    filter.m_output.inUpstreamBuffers = inUpstreamBuffers;
    return m_graph->AddFilter(pass.Get(), L"Pass") == S_OK &&
           m_graph->ConnectDirect(upstream.Get(), &filter.m_input, nullptr) == S_OK &&
           m_graph->ConnectDirect(&filter.m_output, &SinkFilter().m_video, nullptr) == S_OK;
  }

  ComApartment m_com;
  ClipFolder m_clips;
  std::string m_clip;
  ComPtr<IGraphBuilder> m_graph;
  ComPtr<IBaseFilter> m_sink;
};

TEST_F(FilterBaseTest, ASinkTakesEveryFrameAndTheGraphPassesItsCompletionOn) {
  ASSERT_EQ(Render(), S_OK);
  ASSERT_TRUE(SinkFilter().m_video.IsConnected());
  ASSERT_TRUE(SinkFilter().m_audio.IsConnected());

  ComPtr<IMediaSeeking> seeking;
  ASSERT_TRUE(SUCCEEDED(m_graph.As(&seeking)));
  LONGLONG duration = 0;
  EXPECT_EQ(seeking->GetDuration(&duration), S_OK) << "seeking goes upstream through the sink";
  EXPECT_EQ(duration, 20000000);

  RunToCompletion(m_graph.Get(), 20000);
  EXPECT_EQ(SinkFilter().m_video.samples.size(), 50u);
  EXPECT_EQ(SinkFilter().m_audio.Bytes(), 2 * 22050 * 2);
}

TEST_F(FilterBaseTest, APassThroughDeliversTheSameFramesInBuffersOfItsOwn) {
  ASSERT_EQ(Render(), S_OK);
  RunToCompletion(m_graph.Get(), 20000);
  const std::vector<RecordedSample> direct = SinkFilter().m_video.samples;

  // A fresh graph whose video leg runs through the pass-through.
  TearDown();
  SetUp();
  ASSERT_EQ(Render(), S_OK);
  ComPtr<IBaseFilter> pass;
  ASSERT_TRUE(InsertPassThrough(pass, RecordingPin::Offer::kNone));
  auto& filter = *static_cast<PassThrough*>(pass.Get());
  EXPECT_NE(filter.m_output.Allocator(), nullptr);
  EXPECT_FALSE(filter.m_input.ReadOnlySamples()) << "Wine's splitter lets its samples be changed";
  EXPECT_TRUE(filter.m_output.DownstreamTakesAnySample()) << "the sink supplies no allocator";

  RunToCompletion(m_graph.Get(), 20000);
  EXPECT_EQ(SinkFilter().m_video.samples.size(), direct.size());
  EXPECT_TRUE(SinkFilter().m_video.samples == direct) << "the same times and bytes";
}

// Upstream's samples may go on as they are only to a pin that supplied no
// allocator (every renderer of Wine 8 is such a pin; the case above).
TEST_F(FilterBaseTest, AnOutputKnowsWhetherDownstreamTakesSamplesOfAnyAllocator) {
  for (RecordingPin::Offer offer : {RecordingPin::Offer::kOurs, RecordingPin::Offer::kPlatform}) {
    ASSERT_EQ(Render(), S_OK);
    ComPtr<IBaseFilter> pass;
    ASSERT_TRUE(InsertPassThrough(pass, offer));
    EXPECT_FALSE(static_cast<PassThrough*>(pass.Get())->m_output.DownstreamTakesAnySample());
    TearDown();
    SetUp();
  }
}

// A copy into upstream's buffers while the caller holds one of them: with
// none free, it hears so at once instead of waiting for ever.
TEST_F(FilterBaseTest, ACopyIntoUpstreamsBuffersNeverWaitsForTheOneItHolds) {
  ASSERT_EQ(Render(), S_OK);
  ComPtr<IBaseFilter> pass;
  ASSERT_TRUE(InsertPassThrough(pass, RecordingPin::Offer::kNone, true));
  auto& filter = *static_cast<PassThrough*>(pass.Get());
  IMemAllocator* upstream = filter.m_input.UpstreamAllocator();
  ASSERT_TRUE(upstream && filter.m_output.Allocator() == upstream);
  ASSERT_EQ(upstream->Commit(), S_OK);
  std::vector<ComPtr<IMediaSample>> held(1);
  while (upstream->GetBuffer(&held.back(), nullptr, nullptr, AM_GBF_NOWAIT) == S_OK)
    held.emplace_back();
  EXPECT_GE(held.size(), 3u);
  {
    HangWatch watch("a copy into upstream's buffers", 20000);
    ComPtr<IMediaSample> copy;
    EXPECT_EQ(filter.m_output.GetDeliveryBuffer(&copy), VFW_E_TIMEOUT);
  }
  held.clear();
  upstream->Decommit();
}

// The stand-ins' own allocator: a GetBuffer waits until a sample comes back,
// Decommit ends the wait with a failure, and a sample outlives the decommit.
TEST(SampleAllocator, HandsOutItsBuffersInTurnAndWakesAWaiterOnDecommit) {
  ComPtr<IMemAllocator> allocator;
  allocator.Attach(standin::SampleAllocator::Create());
  ALLOCATOR_PROPERTIES wanted = {2, 1000, 16, 0}, actual = {};
  ASSERT_EQ(allocator->SetProperties(&wanted, &actual), S_OK);
  ASSERT_EQ(allocator->Commit(), S_OK);
  ComPtr<IMediaSample> first, second, third;
  ASSERT_EQ(allocator->GetBuffer(&first, nullptr, nullptr, 0), S_OK);
  ASSERT_EQ(allocator->GetBuffer(&second, nullptr, nullptr, 0), S_OK);
  BYTE* data = nullptr;
  first->GetPointer(&data);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % 16, 0u);
  EXPECT_EQ(allocator->GetBuffer(&third, nullptr, nullptr, AM_GBF_NOWAIT), VFW_E_TIMEOUT);

  // Each waiter's answer is read once its thread has ended.
  auto& own = *static_cast<standin::SampleAllocator*>(allocator.Get());
  const auto asleep = [&] { return PumpUntil([&] { return own.Waiting() == 1; }, 10000); };
  HRESULT waited = E_PENDING;
  std::thread waiter([&] { waited = allocator->GetBuffer(&third, nullptr, nullptr, 0); });
  EXPECT_TRUE(asleep()) << "no buffer is free";
  first.Reset();
  waiter.join();
  EXPECT_EQ(waited, S_OK);

  std::thread decommitted([&] { waited = allocator->GetBuffer(&first, nullptr, nullptr, 0); });
  EXPECT_TRUE(asleep());
  EXPECT_EQ(allocator->Decommit(), S_OK);
  decommitted.join();
  EXPECT_EQ(waited, VFW_E_NOT_COMMITTED);
  EXPECT_EQ(own.Waiting(), 0u);
  EXPECT_EQ(second->SetActualDataLength(1000), S_OK) << "the sample's buffer is still there";
  EXPECT_EQ(second->SetActualDataLength(1001), VFW_E_BUFFER_OVERFLOW);

  ComPtr<IMemAllocator> huge;
  huge.Attach(standin::SampleAllocator::Create());
  wanted = {1, LONG_MAX, 16, 16};
  EXPECT_EQ(huge->SetProperties(&wanted, &actual), E_OUTOFMEMORY) << "no buffer holds that";
  EXPECT_EQ(huge->Commit(), VFW_E_SIZENOTSET);
}

}  // namespace
