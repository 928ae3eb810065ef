// Inside the platform layer: how the unit layer opens a name that is no file.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kavril::platform {

// What opening `name` gives when it is a special name: a descriptor of its
// own (fd, to be closed with the unit), whether it is a standard stream
// (never rewound or cut), or the errno value of a failure.
struct SpecialOpen {
  bool special = false;
  int fd = -1;
  bool stream = false;
  int error = 0;
};
SpecialOpen open_special_name(const std::string& name, OpenStatus status, bool readOnly);

// The descriptor of the standard stream that `name` stands for, or -1.
int standard_stream_of(std::string_view name);

}  // namespace kavril::platform
