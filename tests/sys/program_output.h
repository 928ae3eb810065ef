// Test helper for the run report: what one action writes to the program
// output and to the message unit, each sent to its own scratch file.
#pragma once

#include <string>

#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril::test {

struct Outputs {
  std::string print;
  std::string error;
};

template <typename Action>
Outputs capture_outputs(Action action) {
  constexpr int kPrintUnit = 63;
  constexpr int kErrorUnit = 64;
  ScratchDir dir;
  const std::string printPath = dir.file("print");
  const std::string errorPath = dir.file("error");
  platform::open_unit(kPrintUnit, printPath, platform::OpenStatus::Unknown, true, false);
  lfnPrint = kPrintUnit;
  messages_to(kErrorUnit, errorPath);
  action();
  lfnPrint = 6;
  lfnError = 6;
  Outputs out;
  out.print = close_and_read(kPrintUnit, printPath);
  out.error = close_and_read(kErrorUnit, errorPath);
  return out;
}

}  // namespace kavril::test
