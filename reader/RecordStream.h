#pragma once
// The workbook stream seen as BIFF records, read through a 64 KiB window so that record
// headers and small bodies cost a memcpy, and short seeks (stepping back over a header, jumping
// to a cell inside the window) cost nothing.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/cfb/Stream.h"

namespace reader::detail {

class RecordStream {
 public:
  // plainFile: a header that ends exactly at the end of a plain file counts as the end.
  RecordStream(std::unique_ptr<platform::cfb::Stream> source, bool plainFile);

  std::uint64_t Size() const { return size_; }
  std::uint64_t Position() const { return bufStart_ + cur_; }
  void SeekTo(std::uint64_t pos) {
    if (pos >= bufStart_ && pos <= bufStart_ + len_) {
      cur_ = static_cast<std::size_t>(pos - bufStart_);
    } else {
      bufStart_ = pos;
      len_ = cur_ = 0;
    }
  }
  // Raises EXLSError for a position before the stream start.
  void SeekBy(std::int64_t delta);

  // Reads a record header; false at the end of the stream (a partial header is the end too).
  bool ReadHeader(std::uint16_t& id, std::uint16_t& len) {
    if (len_ - cur_ < 4 && !Fill(4)) {
      cur_ = len_;
      return false;
    }
    const std::uint8_t* p = buf_.data() + cur_;
    id = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    len = static_cast<std::uint16_t>(p[2] | (p[3] << 8));
    cur_ += 4;
    if (plain_ && Position() >= size_) return false;
    return true;
  }

  // Reads up to n bytes; returns the count read (short only at the end of the stream).
  std::size_t Read(std::uint8_t* dst, std::size_t n) {
    if (len_ - cur_ >= n) {
      std::memcpy(dst, buf_.data() + cur_, n);
      cur_ += n;
      return n;
    }
    return ReadSlow(dst, n);
  }

 private:
  bool Fill(std::size_t need);
  std::size_t ReadSlow(std::uint8_t* dst, std::size_t n);

  std::unique_ptr<platform::cfb::Stream> source_;
  std::vector<std::uint8_t> buf_;
  std::uint64_t bufStart_ = 0;
  std::size_t len_ = 0, cur_ = 0;
  std::uint64_t size_ = 0;
  bool plain_ = false;
};

}  // namespace reader::detail
