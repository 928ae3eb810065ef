// The state of a direct run and its options.
#include "pgm/pgm.h"

namespace kavril {

std::optional<DirectRun> directRun;

const std::array<platform::CommandOption, 9> kDirectOptions{{{'r', "rinex", true},
                                                             {'o', "output", true},
                                                             {'d', "dir", true},
                                                             {'e', "ext", true},
                                                             {'a', "agency", true},
                                                             {'c', "const", true},
                                                             {'q', "quiet", false},
                                                             {'h', "help", false},
                                                             {'V', "version", false}}};

}  // namespace kavril
