// Test helpers for the run framework: a keyword table set up in memory, the
// module state reset between tests, and standard output captured into a file
// (also inside death tests, whose child process never returns).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavril::test {

struct KeyLine {
  std::string name;
  std::vector<std::string> values;
};

// Fills the global keyword table as a completely read input file `inpFilNam`
// holding `keys` in this order (run phase 2).
void set_key_table(std::string_view inpFilNam, std::vector<KeyLine> keys,
                   std::vector<std::string> delFil = {});

// Initial values of the keyword table, the logical file numbers and the
// program name; closes the units 10 to 999.
void reset_run_state();

// Connects `unit` to the fresh file `path` and makes it the message unit.
void messages_to(int unit, const std::string& path);
// Closes `unit` and returns what its file holds.
std::string close_and_read(int unit, const std::string& path);

// Sends everything written to standard output from now on into `path`.
void redirect_stdout(const std::string& path);

}  // namespace kavril::test
