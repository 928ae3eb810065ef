#include "support/keyword_file.h"

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"

namespace kavril::test {

namespace {
constexpr int kMessageUnit = 96;
constexpr std::string_view kMessageFile = "messages.txt";
}  // namespace

void KeywordTest::SetUp() {
  reset_run_state();
  clear_messages();
}

void KeywordTest::clear_messages() { messages_to(kMessageUnit, dir.file(kMessageFile)); }

void KeywordTest::TearDown() { reset_run_state(); }

std::string KeywordTest::load(std::string_view contents, std::string_view name) {
  const std::string fileName = dir.file(name);
  write_file(fileName, contents);
  INIT_INPKEY(inpKey);
  READINPF(fileName, inpKey);
  return fileName;
}

std::string KeywordTest::messages() const {
  platform::flush_all();
  return read_file(dir.file(kMessageFile));
}

}  // namespace kavril::test
