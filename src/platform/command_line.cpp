// The program's command line, kept for MYGETARG.
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {

namespace {
std::vector<std::string>& arguments() {
  static std::vector<std::string> args;
  return args;
}
}  // namespace

void set_command_line(int argc, const char* const* argv) {
  auto& args = arguments();
  args.clear();
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
}

int argument_count() { return static_cast<int>(arguments().size()); }

std::string argument(int index) {
  const auto& args = arguments();
  if (index < 1 || index > static_cast<int>(args.size())) return {};
  return args[static_cast<std::size_t>(index - 1)];
}

}  // namespace kavril::platform
