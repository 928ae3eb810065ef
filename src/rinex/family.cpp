// The version an output of RINEX inputs keeps without -r.
#include <algorithm>

#include "rinex/rinex.h"

namespace kavril::rinex {

void VersionFamily::add(const Header& header) {
  highestMajor_ = std::max(highestMajor_, header.major());
  if (header.version == 305) any305_ = true;
  if (header.major() == 2) twoSystems_.add(header.fileSystem);
}

int VersionFamily::version() const {
  switch (highestMajor_) {
    case 0: return 0;
    case 2: {
      // 2.11 holds one system a file, GPS or GLONASS.
      const bool one = twoSystems_.count() == 1 && (twoSystems_.has(System::GPS) || twoSystems_.has(System::GLONASS));
      return one ? 211 : 304;
    }
    case 3: return any305_ ? 305 : 304;
    default: return 400;
  }
}

System VersionFamily::system() const { return twoSystems_.has(System::GLONASS) ? System::GLONASS : System::GPS; }

}  // namespace kavril::rinex
