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
  if (delta < 0 && static_cast<std::uint64_t>(-delta) > pos_)
    throw EXLSError("Seek before the start of the stream");
  pos_ += static_cast<std::uint64_t>(delta);
}

const std::uint8_t* RecordStream::Refill(std::size_t n) {
  if (pos_ >= size_ || size_ - pos_ < n) return nullptr;
  // Keep reading forward from the position; a window that starts at it serves what follows.
  bufStart_ = pos_;
  len_ = 0;
  source_->Seek(static_cast<std::int64_t>(pos_), platform::cfb::SeekOrigin::Begin);
  while (len_ < n) {
    const std::size_t got = source_->Read(buf_.data() + len_, buf_.size() - len_);
    if (got == 0) return nullptr;
    len_ += got;
  }
  return buf_.data();
}

std::size_t RecordStream::ReadSlow(std::uint8_t* dst, std::size_t n) {
  // Near the end of the stream, or a read larger than the window: straight from the source.
  if (pos_ >= size_) return 0;
  source_->Seek(static_cast<std::int64_t>(pos_), platform::cfb::SeekOrigin::Begin);
  std::size_t done = 0;
  while (done < n) {
    const std::size_t got = source_->Read(dst + done, n - done);
    if (got == 0) break;
    done += got;
  }
  pos_ += done;
  return done;
}

}  // namespace reader::detail
