// A headless user interface for each test: failures of the driver become test failures, and
// posted messages left at the end are handled so that released forms are freed.
#pragma once

#include <gtest/gtest.h>

#include "ui/core/application.h"
#include "ui/headless/headless_driver.h"

namespace tvx::test {

class UiTest : public ::testing::Test {
 protected:
  UiTest() {
    ui.SetFailureReporter([](const std::string& message) { ADD_FAILURE() << message; });
  }
  ~UiTest() override {
    ui.ProcessMessages();
    SetApplication(nullptr);
  }

  headless::HeadlessDriver ui;
};

}  // namespace tvx::test
