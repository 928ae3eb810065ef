// Variable substitution and file-name splitting on arbitrary texts.
// Input: the first byte selects the modes (RPLENVAR: byte % 3, FPARSE:
// byte / 3 % 2); then lines: up to the first empty line the definitions of
// keyword ENVIRONMENT (each cut to 255 characters, as the reader cuts
// values), after it the texts, each substituted and then split.
#include <string>
#include <string_view>

#include "fuzz_support.h"

using namespace kavril;

namespace {

// Next line of `rest` (without its "\n"); `rest` moves past it.
std::string_view next_line(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int envMode = data[0] % 3;
  const int parseMode = data[0] / 3 % 2;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  fuzz::run_input([&] {
    t_key environment{"ENVIRONMENT", {}, true};
    for (std::string_view line = next_line(rest); !line.empty(); line = next_line(rest)) {
      environment.value.emplace_back(line.substr(0, kKeyValueLength));
    }
    inpKey.keys.push_back(std::move(environment));
    inpKey.nKey = 1;
    inpKey.runPhase = 2;

    while (!rest.empty()) {
      std::string text(next_line(rest));
      RPLENVAR(envMode, text);
      std::string device, dir, name, ext;
      int irCode = 0;
      FPARSE(parseMode, text, device, dir, name, ext, irCode);
    }
  });
  return 0;
}
