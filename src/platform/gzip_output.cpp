// gzip compression of what a unit writes: a thin layer between the unit's
// buffer and its descriptor.
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/platform.h"

namespace kavril::platform {

namespace {
constexpr int kGzipWindowBits = 15 + 16;  // the largest window, with a gzip header and trailer
constexpr int kMemoryLevel = 8;
constexpr std::size_t kChunk = 1 << 16;
}  // namespace

struct GzipDeflater::Stream {
  z_stream z{};
};

GzipDeflater::GzipDeflater() : stream_(new Stream) {
  if (deflateInit2(&stream_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    delete stream_;
    stream_ = nullptr;
  }
}

GzipDeflater::~GzipDeflater() {
  if (stream_ == nullptr) return;
  deflateEnd(&stream_->z);
  delete stream_;
}

int GzipDeflater::deflate(const char* data, std::size_t size, bool finish, std::string& out) {
  if (stream_ == nullptr) return ENOMEM;
  z_stream& z = stream_->z;
  for (;;) {
    const std::size_t part = std::min<std::size_t>(size, UINT_MAX);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = static_cast<uInt>(part);
    const bool last = finish && part == size;
    int rc = Z_OK;
    do {
      const std::size_t used = out.size();
      out.resize(used + kChunk);
      z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
      z.avail_out = static_cast<uInt>(kChunk);
      rc = ::deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
      out.resize(used + kChunk - z.avail_out);
      if (rc == Z_STREAM_ERROR) return EIO;
    } while (z.avail_out == 0 || (last && rc != Z_STREAM_END));
    data += part;
    size -= part;
    if (size == 0) return 0;
  }
}

}  // namespace kavril::platform
