// Outgoing events: advising sinks, firing to each of them, and unadvising.
#include "platform/com/connection_point.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/com/sample/abacus.h"

namespace tarvik::platform::com {
namespace {

using sample::Abacus;
using sample::kAbacusEvents;

// A sink that writes "<tag>:<event>[=<first argument>]" for every event into a shared log.
ComPtr<EventSink> RecordingSink(const std::string& tag, std::vector<std::string>* log) {
  return MakeObject<EventSink>(kAbacusEvents,
                               [tag, log](const MemberInfo& event, std::span<const Variant> args) {
                                 std::string line = tag + ":" + std::string(event.name);
                                 if (!args.empty()) line += "=" + args[0].ToText();
                                 log->push_back(line);
                               });
}

class ConnectionPointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(ComPtr<IDispatch>(abacus_).As(&container), S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(kAbacusEvents.guid, &point), S_OK);
    point_ = ComPtr<IConnectionPoint>::Adopt(point);
  }

  void Ring() {
    ASSERT_EQ(InvokeByName(abacus_.get(), "Ring", DISPATCH_METHOD, {}, nullptr), S_OK);
  }

  ComPtr<Abacus> abacus_ = MakeObject<Abacus>();
  ComPtr<IConnectionPoint> point_;
  std::vector<std::string> log_;
};

TEST_F(ConnectionPointTest, EveryAdvisedSinkHearsEveryEventInOrder) {
  std::uint32_t first = 0;
  std::uint32_t second = 0;
  ASSERT_EQ(point_->Advise(RecordingSink("A", &log_).get(), &first), S_OK);
  ASSERT_EQ(point_->Advise(RecordingSink("B", &log_).get(), &second), S_OK);
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);

  const Variant total[] = {2.5};
  EXPECT_EQ(InvokeByName(abacus_.get(), "Total", DISPATCH_PROPERTYPUT, total, nullptr), S_OK);
  Ring();
  EXPECT_EQ(log_,
            (std::vector<std::string>{"A:OnRing", "B:OnRing", "A:OnTotal=2.5", "B:OnTotal=2.5"}));
}

TEST_F(ConnectionPointTest, UnadvisedSinkHearsNoMore) {
  std::uint32_t first = 0;
  std::uint32_t second = 0;
  ASSERT_EQ(point_->Advise(RecordingSink("A", &log_).get(), &first), S_OK);
  ASSERT_EQ(point_->Advise(RecordingSink("B", &log_).get(), &second), S_OK);
  EXPECT_EQ(point_->Unadvise(first), S_OK);
  Ring();
  EXPECT_EQ(log_, (std::vector<std::string>{"B:OnRing", "B:OnTotal=0"}));

  EXPECT_EQ(point_->Unadvise(first), CONNECT_E_NOCONNECTION);  // already gone
  EXPECT_EQ(point_->Unadvise(0), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point_->Unadvise(second), S_OK);
  log_.clear();
  Ring();
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(abacus_->events().sink_count(), 0u);
}

TEST_F(ConnectionPointTest, SinkMayUnadviseItselfWhileAnEventRuns) {
  std::uint32_t cookie = 0;
  IConnectionPoint* point = point_.get();
  const ComPtr<EventSink> sink =
      MakeObject<EventSink>(kAbacusEvents, [&](const MemberInfo& event, std::span<const Variant>) {
        log_.emplace_back(event.name);
        point->Unadvise(cookie);
      });
  ASSERT_EQ(point_->Advise(sink.get(), &cookie), S_OK);
  Ring();
  EXPECT_EQ(log_, (std::vector<std::string>{"OnRing"}));  // gone before OnTotal
}

TEST_F(ConnectionPointTest, FailingSinkDoesNotStopTheOthers) {
  const ComPtr<EventSink> failing = MakeObject<EventSink>(
      kAbacusEvents,
      [](const MemberInfo&, std::span<const Variant>) { throw std::runtime_error("sink broke"); });
  std::uint32_t cookie = 0;
  ASSERT_EQ(point_->Advise(failing.get(), &cookie), S_OK);
  ASSERT_EQ(point_->Advise(RecordingSink("B", &log_).get(), &cookie), S_OK);
  Ring();
  EXPECT_EQ(log_, (std::vector<std::string>{"B:OnRing", "B:OnTotal=0"}));
}

TEST_F(ConnectionPointTest, SinkWithoutTheEventInterfaceCannotConnect) {
  // An object that offers neither IDispatch nor the event interface.
  class Deaf final : public ComObject<IConnectionPointContainer> {
    HRESULT FindConnectionPoint(const Guid&, IConnectionPoint**) override { return E_NOTIMPL; }
  };
  std::uint32_t cookie = 7;
  EXPECT_EQ(point_->Advise(MakeObject<Deaf>().get(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(point_->Advise(nullptr, &cookie), E_POINTER);
}

TEST_F(ConnectionPointTest, ContainerKnowsOnlyItsEventInterface) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(ComPtr<IDispatch>(abacus_).As(&container), S_OK);
  IConnectionPoint* point = nullptr;
  EXPECT_EQ(container->FindConnectionPoint(sample::kAbacusInterface.guid, &point),
            CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point, nullptr);

  Guid iid;
  EXPECT_EQ(point_->GetConnectionInterface(&iid), S_OK);
  EXPECT_EQ(iid, kAbacusEvents.guid);
  IConnectionPointContainer* owner = nullptr;
  ASSERT_EQ(point_->GetConnectionPointContainer(&owner), S_OK);
  EXPECT_EQ(IdentityOf(owner).get(), abacus_->Identity());
  owner->Release();
}

TEST_F(ConnectionPointTest, HoldingThePointKeepsTheOwnerAlive) {
  const std::int64_t locks = ModuleLockCount();
  abacus_.Reset();  // the point still holds the object
  EXPECT_EQ(ModuleLockCount(), locks);
  std::uint32_t cookie = 0;
  EXPECT_EQ(point_->Advise(RecordingSink("A", &log_).get(), &cookie), S_OK);
  point_.Reset();  // the last reference: the object goes
  EXPECT_EQ(ModuleLockCount(), locks - 1);
}

TEST(EventSinkTest, ResolvesEventNamesAndRefusesUnknownDispIds) {
  const ComPtr<EventSink> sink = MakeObject<EventSink>(kAbacusEvents, nullptr);
  DispId id = 0;
  EXPECT_EQ(sink->GetIDsOfNames("ontotal", &id), S_OK);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(sink->GetIDsOfNames("OnNothing", &id), DISP_E_UNKNOWNNAME);
  InvokeError error;
  EXPECT_EQ(sink->Invoke(9, DISPATCH_METHOD, {}, nullptr, &error), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(error.description, "no event with DISPID 0x00000009 in __Abacus");
  void* raw = nullptr;
  ASSERT_EQ(sink->QueryInterface(kAbacusEvents.guid, &raw), S_OK);
  static_cast<IDispatch*>(raw)->Release();
}

}  // namespace
}  // namespace tarvik::platform::com
