// Converts one RINEX navigation file to another version, record by record,
// with the RINEX room alone: the program bench/rinex_peer times against the
// peer converter.
//
//     kavril_rinex_convert IN OUT [VERSION]     (VERSION 211, 304, 305, 400; default 304)
//
// Prints the records read and written; status 1 on a damaged input or a
// failed write.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "rinex/rinex.h"

using namespace kavril;

int main(int argc, char** argv) {
  constexpr int kIn = 60, kOut = 61;
  int version = 304;
  if (argc < 3 || (argc > 3 && !platform::parse_int(argv[3], version))) {
    std::fputs("usage: kavril_rinex_convert IN OUT [VERSION]\n", stderr);
    return 2;
  }
  if (platform::open_unit(kIn, argv[1], platform::OpenStatus::Old, true, true) != 0 ||
      platform::open_unit(kOut, argv[2], platform::OpenStatus::Unknown, true, false) != 0) {
    std::fputs("kavril_rinex_convert: cannot open the files\n", stderr);
    return 1;
  }
  rinex::NavigationReader reader(kIn);
  rinex::Header header;
  if (!reader.read_header(header)) {
    std::fprintf(stderr, "%s:%ld: %s\n", argv[1], reader.damage().line, reader.damage().reason.c_str());
    return 1;
  }
  const rinex::System system = header.fileSystem;
  rinex::NavigationWriter writer(kOut, version, system);
  if (writer.write_header(header, "kavril_rinex_convert", "", "") != 0) return 1;
  rinex::Record record;
  long read = 0, written = 0;
  rinex::NavigationReader::Next next;
  while ((next = reader.next(record)) == rinex::NavigationReader::Next::Record) {
    ++read;
    const rinex::NavigationWriter::Result result = writer.write(record);
    if (result == rinex::NavigationWriter::Result::Failed) return 1;
    written += result == rinex::NavigationWriter::Result::Written;
  }
  if (next == rinex::NavigationReader::Next::Damaged) {
    std::fprintf(stderr, "%s:%ld: %s\n", argv[1], reader.damage().line, reader.damage().reason.c_str());
    return 1;
  }
  if (platform::close_unit(kOut) != 0) return 1;
  std::printf("%ld records read, %ld written\n", read, written);
  return 0;
}
