// RINEX navigation files read whole and written by the RINEX room, for the
// tests of the room and of the programs that read what it writes.
#pragma once

#include <string>
#include <vector>

#include "rinex/rinex.h"

namespace kavril::test {

struct RinexFile {
  rinex::Header header;
  std::vector<rinex::Record> records;
};

// The RINEX navigation file `path` (plain or gzip) read whole; a damaged
// file fails the calling test.
RinexFile read_rinex(const std::string& path);

// The records of `file` that `version` holds (2.11: those of `system`)
// written to `path` under the header of `file`; the records written are put
// in `held` when it is given.
void write_rinex(const RinexFile& file, const std::string& path, int version, rinex::System system,
                 std::vector<rinex::Record>* held = nullptr);

// The names of the corpus files (tests/data/rinex-nav), as MANIFEST.tsv
// lists them.
std::vector<std::string> rinex_corpus_files();
// tests/data/rinex-nav/ with its trailing slash.
std::string rinex_corpus();

}  // namespace kavril::test
