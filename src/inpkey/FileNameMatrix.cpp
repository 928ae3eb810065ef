// The file-name matrix of GTFILE2.
#include <algorithm>

#include "inpkey/inpkey.h"

namespace kavril {

void FileNameMatrix::reset(int nCol, int nFil, std::size_t elementLength) {
  nCol_ = std::max(nCol, 0);
  nFil_ = std::max(nFil, 0);
  length_ = elementLength;
  cells_.assign(static_cast<std::size_t>(nCol_) * static_cast<std::size_t>(nFil_), std::string());
}

}  // namespace kavril
