// Timers on the headless backend's virtual clock.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/window.h"
#include "framework_fixture.h"

namespace nuv::fw {
namespace {

class Ticker : public Window {
 public:
  Ticker(std::string name, std::vector<std::string>& log, const headless::HeadlessBackend& clock)
      : name_(std::move(name)), log_(log), clock_(clock) {}
  void OnTimer(uint32_t id) override {
    log_.push_back(name_ + " " + std::to_string(id) + " @" + std::to_string(clock_.now()));
    if (on_timer)
      on_timer(id);
  }
  std::function<void(uint32_t)> on_timer;

 private:
  std::string name_;
  std::vector<std::string>& log_;
  const headless::HeadlessBackend& clock_;
};

class TimerTest : public testing::FrameworkTest {
 protected:
  void Make(Ticker& ticker) {
    ASSERT_TRUE(ticker.CreateEx(0, WindowKind::Dialog, "", WS_POPUP, {0, 0, 1, 1}, nullptr, 0));
  }
  std::vector<std::string> log_;
};

TEST_F(TimerTest, DueTimersFireInOrderOfDueTimeTiesInOrderOfSetting) {
  Ticker a("a", log_, backend_);
  Ticker b("b", log_, backend_);
  Make(a);
  Make(b);
  ASSERT_TRUE(b.SetTimer(2, 100));
  ASSERT_TRUE(a.SetTimer(1, 100));
  ASSERT_TRUE(a.SetTimer(3, 150));
  backend_.AdvanceClock(99);
  EXPECT_TRUE(log_.empty());
  backend_.AdvanceClock(201);  // to 300
  EXPECT_EQ(log_, (std::vector<std::string>{"b 2 @100", "a 1 @100", "a 3 @150", "b 2 @200",
                                            "a 1 @200", "b 2 @300", "a 1 @300", "a 3 @300"}));
  EXPECT_EQ(backend_.now(), 300u);
}

TEST_F(TimerTest, SettingAgainRestartsAndKillingStops) {
  Ticker a("a", log_, backend_);
  Make(a);
  a.SetTimer(1, 100);
  backend_.AdvanceClock(60);
  a.SetTimer(1, 100);  // restarts: next at 160
  backend_.AdvanceClock(100);
  EXPECT_EQ(log_, (std::vector<std::string>{"a 1 @160"}));
  EXPECT_TRUE(a.KillTimer(1));
  EXPECT_FALSE(a.KillTimer(1));
  EXPECT_FALSE(backend_.HasTimer(a, 1));
  backend_.AdvanceClock(1000);
  EXPECT_EQ(log_.size(), 1u);
}

TEST_F(TimerTest, AHandlerMayKillItsTimerOrSetAnother) {
  Ticker a("a", log_, backend_);
  Make(a);
  a.on_timer = [&](uint32_t id) {
    if (id == 1) {
      a.KillTimer(1);
      a.SetTimer(2, 30);
    }
  };
  a.SetTimer(1, 50);
  backend_.AdvanceClock(120);
  EXPECT_EQ(log_, (std::vector<std::string>{"a 1 @50", "a 2 @80", "a 2 @110"}));
}

TEST_F(TimerTest, TimersGoWithTheirWindowAndShortPeriodsAreRaisedToTenMs) {
  Ticker a("a", log_, backend_);
  Make(a);
  a.SetTimer(1, 0);
  backend_.AdvanceClock(25);
  EXPECT_EQ(log_, (std::vector<std::string>{"a 1 @10", "a 1 @20"}));
  a.DestroyWindow();
  EXPECT_FALSE(backend_.HasTimer(a, 1));
  EXPECT_FALSE(a.SetTimer(1, 10));  // no window, no timer
  backend_.AdvanceClock(100);
  EXPECT_EQ(log_.size(), 2u);
}

TEST_F(TimerTest, AHandlerThatThrowsIsShownAndTheTimerGoesOn) {
  Ticker a("a", log_, backend_);
  Make(a);
  a.on_timer = [](uint32_t) { throw std::runtime_error("tick failed"); };
  a.SetTimer(4, 100);
  backend_.AdvanceClock(200);
  EXPECT_EQ(log_.size(), 2u);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"nuvhost: tick failed", "nuvhost: tick failed"}));
}

}  // namespace
}  // namespace nuv::fw
