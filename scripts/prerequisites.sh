# Sourced by scripts/example and scripts/test: installs the Debian packages a
# fresh machine lacks, or stops at once with the one command that installs them.
#
#   install_missing SCRIPT [gtest]
#
# Always needed: a C++ compiler (g++), make, CMake, zlib (zlib1g-dev, for
# compressed files) and nlohmann-json (nlohmann-json3-dev, for the JSON of
# --check); with "gtest" also GoogleTest (libgtest-dev) and strace. As root
# the packages are installed with apt-get,
# as another user with sudo when there is one; otherwise nothing is changed.

install_missing() {
  local script=$1 with=${2:-}
  local missing=()
  command -v g++ >/dev/null 2>&1 || missing+=(g++)
  command -v make >/dev/null 2>&1 || missing+=(make)
  command -v cmake >/dev/null 2>&1 || missing+=(cmake)
  # zlib (gzip output) and nlohmann-json (the JSON document of --check).
  [ -f /usr/include/zlib.h ] || missing+=(zlib1g-dev)
  [ -f /usr/include/nlohmann/json.hpp ] || missing+=(nlohmann-json3-dev)
  if [ "$with" = gtest ] && [ ! -f /usr/include/gtest/gtest.h ]; then missing+=(libgtest-dev); fi
  # The system-call fault injection of the tests runs the program under strace.
  if [ "$with" = gtest ] && ! command -v strace >/dev/null 2>&1; then missing+=(strace); fi
  [ ${#missing[@]} -eq 0 ] && return 0

  local command="apt-get install -y ${missing[*]}"
  local as=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "$script: ${missing[*]} missing; as root run this, then $script again:" >&2
      echo "  $command" >&2
      exit 1
    fi
    as=(sudo)
  fi
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "$script: ${missing[*]} missing (Debian package names); install, then run $script again" >&2
    exit 1
  fi
  echo "$script: installing ${missing[*]}" >&2
  if ! "${as[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2 ||
     ! "${as[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >&2; then
    echo "$script: the installation failed; as root run:" >&2
    echo "  $command" >&2
    exit 1
  fi
}
