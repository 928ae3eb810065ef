// Reading gzip-compressed files as the text they hold: a unit that finds the
// gzip signature at the start of its file reads the decompressed bytes from
// here, so that lines and line numbers are those of the decompressed text.
// Files of several gzip members (cat a.gz b.gz) read as one text.
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/platform.h"

namespace kavril::platform {

namespace {
constexpr std::size_t kInputSize = 1 << 16;
constexpr unsigned char kSignature[] = {0x1f, 0x8b};
// Window bits of inflateInit2: the largest window, gzip header and trailer.
constexpr int kGzipWindow = 15 + 16;
}  // namespace

struct GzipReader {
  z_stream stream{};
  std::unique_ptr<unsigned char[]> input = std::make_unique_for_overwrite<unsigned char[]>(kInputSize);
  int fd = -1;
  bool inputEnded = false;   // the file has no more bytes
  bool memberEnded = false;  // the last member read was complete
  ~GzipReader() { inflateEnd(&stream); }
};

void GzipReaderDeleter::operator()(GzipReader* reader) const { delete reader; }

bool starts_gzip(const char* data, std::size_t size) {
  return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

GzipReaderPtr start_gzip(int fd, const char* head, std::size_t size) {
  GzipReaderPtr reader(new GzipReader);
  if (inflateInit2(&reader->stream, kGzipWindow) != Z_OK) return nullptr;
  reader->fd = fd;
  std::memcpy(reader->input.get(), head, std::min(size, kInputSize));
  reader->stream.next_in = reader->input.get();
  reader->stream.avail_in = static_cast<uInt>(std::min(size, kInputSize));
  return reader;
}

namespace {
// Reads more compressed bytes when every byte read so far is used. Returns 0
// or an errno value.
int read_input(GzipReader& r) {
  if (r.stream.avail_in != 0 || r.inputEnded) return 0;
  for (;;) {
    const ssize_t n = ::read(r.fd, r.input.get(), kInputSize);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return last_error();
    r.inputEnded = n == 0;
    r.stream.next_in = r.input.get();
    r.stream.avail_in = static_cast<uInt>(n);
    return 0;
  }
}
}  // namespace

long read_gzip(GzipReader& r, char* out, std::size_t size, int& status) {
  r.stream.next_out = reinterpret_cast<unsigned char*>(out);
  r.stream.avail_out = static_cast<uInt>(size);
  for (;;) {
    if ((status = read_input(r)) != 0) return -1;
    if (r.stream.avail_in == 0 && r.inputEnded) {
      // The end of the file: after a complete member, or cut short.
      status = r.memberEnded ? 0 : kCompressedDataCut;
      const long produced = static_cast<long>(size - r.stream.avail_out);
      return produced > 0 ? produced : (status == 0 ? 0 : -1);
    }
    if (r.memberEnded) {
      // Bytes after a complete member: another member, or no gzip data.
      if (r.stream.avail_in >= 1 && r.stream.next_in[0] != kSignature[0]) {
        status = kCompressedDataDamaged;
        return -1;
      }
      inflateReset(&r.stream);
      r.memberEnded = false;
    }
    const int rc = inflate(&r.stream, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) r.memberEnded = true;
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
      status = rc == Z_MEM_ERROR ? ENOMEM : kCompressedDataDamaged;
      return -1;
    }
    if (r.stream.avail_out == 0 || (r.memberEnded && r.stream.avail_out < size)) {
      return static_cast<long>(size - r.stream.avail_out);
    }
  }
}

}  // namespace kavril::platform
