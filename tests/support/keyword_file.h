// Test fixture for the keyword routines: a fresh run state around each test,
// keyword files read the way the program reads them at start-up, and the
// messages of the run (unit lfnError) kept in a scratch file.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/support.h"

namespace kavril::test {

class KeywordTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes `contents` as the keyword file `name` and reads it into the
  // keyword table `inpKey`. Returns the file name.
  std::string load(std::string_view contents, std::string_view name = "panel.inp");
  // Everything written to the message unit so far (also by a death test's
  // child process).
  std::string messages() const;
  // Starts the message file afresh.
  void clear_messages();

  ScratchDir dir;
};

}  // namespace kavril::test
