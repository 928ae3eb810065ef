// Constants file: DEFCON(1) with keyword CONST naming the fuzz input.
#include <string>

#include "const/const.h"
#include "fuzz_support.h"

using namespace kavril;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file("constants");
  const std::string& name = file.hold(data, size);
  fuzz::run_input([&] {
    t_key constKey{"CONST", {name}, true};
    inpKey.keys.push_back(std::move(constKey));
    inpKey.nKey = 1;
    inpKey.runPhase = 2;
    DEFCON(1);
  });
  return 0;
}
