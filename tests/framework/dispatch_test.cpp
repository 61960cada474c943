// Commands and input as the dispatcher runs them: exceptions from handlers
// are shown in an application box and nothing escapes; input goes through
// the pre-translate walk before its target handles it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/message_map.h"
#include "framework/user_input.h"
#include "framework/window.h"
#include "framework_fixture.h"
#include "platform/errors.h"

namespace nuv::fw {
namespace {

class Thrower : public Window {
 public:
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map(&Window::ClassMessageMap(),
                                {
                                    OnClicked(1, &Thrower::FileProblem),
                                    OnClicked(2, &Thrower::AutomationProblem),
                                    OnClicked(3, &Thrower::OtherProblem),
                                    OnClicked(4, &Thrower::Unknown),
                                    OnClicked(5, &Thrower::Fine),
                                });
    return map;
  }
  std::vector<std::string> done;

 private:
  void FileProblem() { throw FileError("Cannot delete D:\\tmp\\script-qv.cfg."); }
  void AutomationProblem() { throw AutomationError("Unknown name."); }
  void OtherProblem() { throw std::runtime_error("something else"); }
  void Unknown() { throw 42; }
  void Fine() { done.push_back("fine"); }
};

using DispatchTest = testing::FrameworkTest;

TEST_F(DispatchTest, AnErrorInAHandlerIsShownInAnApplicationBoxAndEndsOnlyThatCommand) {
  app_.SetTitle("host title");
  Thrower window;
  ASSERT_TRUE(window.CreateEx(0, WindowKind::Dialog, "", WS_POPUP, {0, 0, 9, 9}, nullptr, 0));
  EXPECT_NO_THROW(window.OnCommand(1, BN_CLICKED));
  EXPECT_NO_THROW(window.OnCommand(2, BN_CLICKED));
  EXPECT_NO_THROW(window.OnCommand(3, BN_CLICKED));
  EXPECT_NO_THROW(window.OnCommand(4, BN_CLICKED));
  EXPECT_NO_THROW(window.OnCommand(5, BN_CLICKED));
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{"host title: Cannot delete D:\\tmp\\script-qv.cfg.",
                                      "host title: Unknown name.", "host title: something else",
                                      "host title: An unexpected error ended the command."}));
  EXPECT_EQ(window.done, (std::vector<std::string>{"fine"}));
}

TEST_F(DispatchTest, RunCommandTellsWhetherTheCommandCompleted) {
  EXPECT_TRUE(app_.RunCommand([] {}));
  EXPECT_FALSE(app_.RunCommand([] { throw FileError("gone"); }));
  // A nested command that fails ends only itself.
  bool outer_went_on = false;
  EXPECT_TRUE(app_.RunCommand([&] {
    app_.RunCommand([] { throw AutomationError("inner"); });
    outer_went_on = true;
  }));
  EXPECT_TRUE(outer_went_on);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"nuvhost: gone", "nuvhost: inner"}));
}

// Logs what it sees of input; consumes what it is told to.
class Watcher : public Window {
 public:
  Watcher(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  bool PreTranslateMessage(const Msg& msg) override {
    log_.push_back(name_ + " pre " + std::to_string(msg.pt.x) + "," + std::to_string(msg.pt.y));
    return consume;
  }
  void OnInput(const Msg& msg) override {
    log_.push_back(name_ + " handles " + std::to_string(msg.message) + " at " +
                   std::to_string(msg.pt.x) + "," + std::to_string(msg.pt.y));
  }
  bool consume = false;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

TEST_F(DispatchTest, InputGoesThroughTheTargetAndItsParentsUpToTheTopLevelWindow) {
  std::vector<std::string> log;
  Watcher owner("owner", log);
  Watcher top("top", log);
  Watcher middle("middle", log);
  Watcher leaf("leaf", log);
  ASSERT_TRUE(owner.CreateEx(0, WindowKind::Frame, "", WS_POPUP | WS_VISIBLE, {0, 0, 500, 500},
                             nullptr, 0));
  ASSERT_TRUE(top.CreateEx(0, WindowKind::Dialog, "", WS_POPUP | WS_VISIBLE, {100, 100, 400, 400},
                           &owner, 0));
  ASSERT_TRUE(
      middle.CreateEx(0, WindowKind::Form, "", WS_CHILD | WS_VISIBLE, {10, 10, 200, 200}, &top, 1));
  ASSERT_TRUE(
      leaf.CreateEx(0, WindowKind::Form, "", WS_CHILD | WS_VISIBLE, {5, 5, 50, 50}, &middle, 2));

  UserMoveMouse({120, 125});  // leaf's client point 5,10
  EXPECT_EQ(log, (std::vector<std::string>{"leaf pre 5,10", "middle pre 5,10", "top pre 5,10",
                                           "leaf handles 512 at 5,10"}));

  log.clear();
  middle.consume = true;
  UserMoveMouse({121, 125});
  EXPECT_EQ(log, (std::vector<std::string>{"leaf pre 6,10", "middle pre 6,10"}));
}

}  // namespace
}  // namespace nuv::fw
