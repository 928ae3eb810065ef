// Free-format decoding of a fixed number of items of a keyword-file line.
#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {

int decode_items(std::string_view line, std::span<std::string> items) {
  platform::ItemDecoder decoder(line);
  std::string item;
  for (std::size_t k = 0; k < items.size(); ++k) {
    switch (decoder.next(item)) {
      case platform::ItemResult::Ok:
        items[k] = item;
        break;
      case platform::ItemResult::Slash:
        return static_cast<int>(k);
      default:  // out of items, an empty item, an unterminated quote
        return -1;
    }
  }
  return static_cast<int>(items.size());
}

}  // namespace kavril
