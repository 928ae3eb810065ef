// Inquiry by unit or by file name with optional answers; variables in a file
// name are resolved first and an unresolvable one stops the run.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr std::size_t kNameLength = 255;

void inquire_unit(int unit, const InquireArgs& args) {
  if (args.name != nullptr) *args.name = platform::unit_file_name(unit);
  if (args.exist != nullptr) *args.exist = unit >= 0 && unit <= platform::kMaxUnit;
  if (args.opened != nullptr) *args.opened = platform::unit_connected(unit);
}

// A failed inquiry answers "does not exist" and "not connected".
void inquire_file(const std::string& file, const InquireArgs& args) {
  std::string name = platform::fit(file, kNameLength);
  RPLENVAR(2, name);
  platform::FileInquiry answer;
  platform::inquire_file(platform::trim_right(name), answer);
  if (args.exist != nullptr) *args.exist = answer.exists;
  if (args.opened != nullptr) *args.opened = answer.connected;
  if (args.number != nullptr) *args.number = answer.unit;
}

}  // namespace

void INQUIRE(const InquireArgs& args) {
  if (args.unit) {
    inquire_unit(*args.unit, args);
  } else if (args.file) {
    inquire_file(*args.file, args);
  }
}

}  // namespace kavril
