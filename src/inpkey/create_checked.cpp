// Creation of a list at its final size with the run's allocation check.
#include <new>
#include <stdexcept>

#include "inpkey/inpkey.h"
#include "sys/sys.h"

namespace kavril {

namespace {
// Status reported for an allocation that failed (the system's out-of-memory code).
constexpr int kOutOfMemory = 12;
}  // namespace

void create_checked(const std::function<void()>& create, std::string_view varName,
                    std::initializer_list<long long> extents, std::string_view caller) {
  int status = 0;
  try {
    create();
  } catch (const std::bad_alloc&) {
    status = kOutOfMemory;
  } catch (const std::length_error&) {
    status = kOutOfMemory;
  }
  ALCERR(status, varName, std::span<const long long>(extents.begin(), extents.size()), caller);
}

}  // namespace kavril
