// Keyword input file: READINPF on arbitrary file contents, with the checks
// against the keywords the program reads, then the lookups
// the program makes on the table, also of the file's own first keyword (so
// that column keywords the input defines are found).
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "pgm/pgm.h"

using namespace kavril;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file("keyfile");
  const std::string& name = file.hold(data, size);
  fuzz::run_input([&] {
    READINPF(name, inpKey, kKeywordsRead);
    CKKEYNAM(kKeywordsRead);
    std::vector<std::string> values;
    int irCode = 0;
    READKEYS("*", values, irCode);
    READKEYS(" ", values, irCode);
    READKEYS("DELETE_FILES", values, irCode);
    TSTKEY("CONST");
    std::string fileName;
    GTFLNA(0, "SYSOUT", fileName, irCode);

    int nFil = 0;
    FileNameMatrix files;
    GTFILE2("BRDFIL", 2, nFil, files);
    if (!inpKey.keys.empty()) {
      const std::string first = inpKey.keys.front().name;
      READKEYS(first, values, irCode);
      GTFILE2(first, 3, nFil, files, 32);
    }
  });
  return 0;
}
