// The message blocks of the program on the message unit: a first line and
// one to three detail lines of a label and a value, as the system routines
// write theirs.
#include <vector>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "sys/sys.h"

namespace kavril {

void write_message_block(std::string_view first, std::initializer_list<MessageDetail> details) {
  using platform::Layout;
  static const Layout kBlocks[] = {Layout("(/,A,/,16X,A,A,/)"), Layout("(/,A,2(/,16X,A,A),/)"),
                                   Layout("(/,A,3(/,16X,A,A),/)")};
  std::vector<platform::Arg> args{first};
  for (const auto& [label, value] : details) {
    args.emplace_back(label);
    args.emplace_back(value);
  }
  kBlocks[details.size() - 1].write(lfnError, args);
}

}  // namespace kavril
