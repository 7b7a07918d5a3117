#include "reader/RecordStream.h"

#include <algorithm>

#include "reader/TXLSRead.h"

namespace reader::detail {
namespace {
constexpr std::size_t kWindow = 64 * 1024;
}

RecordStream::RecordStream(std::unique_ptr<platform::cfb::Stream> source, bool plainFile)
    : source_(std::move(source)), buf_(kWindow), size_(source_->Size()), plain_(plainFile) {}

void RecordStream::SeekBy(std::int64_t delta) {
  const std::uint64_t pos = Position();
  if (delta < 0 && static_cast<std::uint64_t>(-delta) > pos) throw EXLSError("Seek before the start of the stream");
  SeekTo(pos + static_cast<std::uint64_t>(delta));
}

bool RecordStream::Fill(std::size_t need) {
  if (cur_ > 0) {
    std::memmove(buf_.data(), buf_.data() + cur_, len_ - cur_);
    bufStart_ += cur_;
    len_ -= cur_;
    cur_ = 0;
  }
  while (len_ < need) {
    if (bufStart_ + len_ >= size_) return false;
    source_->Seek(static_cast<std::int64_t>(bufStart_ + len_), platform::cfb::SeekOrigin::Begin);
    const std::size_t got = source_->Read(buf_.data() + len_, buf_.size() - len_);
    if (got == 0) return false;
    len_ += got;
  }
  return true;
}

std::size_t RecordStream::ReadSlow(std::uint8_t* dst, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    if (cur_ == len_) {
      if (n - done >= buf_.size()) {
        // Large reads go straight to the destination.
        const std::uint64_t pos = Position();
        if (pos >= size_) break;
        source_->Seek(static_cast<std::int64_t>(pos), platform::cfb::SeekOrigin::Begin);
        const std::size_t got = source_->Read(dst + done, n - done);
        bufStart_ = pos + got;
        len_ = cur_ = 0;
        done += got;
        break;
      }
      if (!Fill(1)) break;
    }
    const std::size_t take = std::min(n - done, len_ - cur_);
    std::memcpy(dst + done, buf_.data() + cur_, take);
    cur_ += take;
    done += take;
  }
  return done;
}

}  // namespace reader::detail
