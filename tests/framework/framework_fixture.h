#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/headless/headless_backend.h"
#include "recording_backend.h"

namespace nuv::fw::testing {

// A running application on the headless backend, torn down after each test.
class FrameworkTest : public ::testing::Test {
 protected:
  FrameworkTest()
      : app_("nuvhost", std::make_unique<headless::HeadlessBackend>()),
        backend_(static_cast<headless::HeadlessBackend&>(app_.backend())) {}

  // The boxes shown so far, as "caption: text".
  std::vector<std::string> Boxes() const { return plugin::test::BoxTexts(backend_); }

  Application app_;
  headless::HeadlessBackend& backend_;
};

}  // namespace nuv::fw::testing
