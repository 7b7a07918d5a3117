#pragma once
// The workbook stream seen as BIFF records, read through a 64 KiB window so that record
// headers and small bodies cost a memcpy, and short seeks (stepping back over a header, jumping
// to a cell inside the window) cost nothing.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/ByteView.h"
#include "platform/cfb/Stream.h"

namespace reader::detail {

class RecordStream {
 public:
  // plainFile: a header that ends exactly at the end of a plain file counts as the end.
  RecordStream(std::unique_ptr<platform::cfb::Stream> source, bool plainFile);

  std::uint64_t Size() const { return size_; }
  std::uint64_t Position() const { return pos_; }
  // Seeks only move the position: the window is kept, so a lookup that jumps between the
  // sheet's start and a row does not read the same bytes again.
  void SeekTo(std::uint64_t pos) { pos_ = pos; }
  // Raises EXLSError for a position before the stream start.
  void SeekBy(std::int64_t delta);

  // Reads a record header; false at the end of the stream (a partial header is the end too).
  bool ReadHeader(std::uint16_t& id, std::uint16_t& len) {
    const std::uint8_t* p = Window(4);
    if (!p) {
      pos_ = std::max(pos_, size_);
      return false;
    }
    id = platform::LoadU16(p);
    len = platform::LoadU16(p + 2);
    pos_ += 4;
    if (plain_ && pos_ >= size_) return false;
    return true;
  }

  // Reads up to n bytes; returns the count read (short only at the end of the stream).
  std::size_t Read(std::uint8_t* dst, std::size_t n) {
    if (n <= buf_.size()) {
      if (const std::uint8_t* p = Window(n)) {
        std::memcpy(dst, p, n);
        pos_ += n;
        return n;
      }
    }
    return ReadSlow(dst, n);
  }

 private:
  // n bytes at the position, from the window (refilled when needed); null when the stream
  // ends first.
  const std::uint8_t* Window(std::size_t n) {
    if (pos_ >= bufStart_ && pos_ - bufStart_ + n <= len_) return buf_.data() + (pos_ - bufStart_);
    return Refill(n);
  }
  const std::uint8_t* Refill(std::size_t n);
  std::size_t ReadSlow(std::uint8_t* dst, std::size_t n);

  std::unique_ptr<platform::cfb::Stream> source_;
  std::vector<std::uint8_t> buf_;
  std::uint64_t bufStart_ = 0;  // stream position of buf_[0]
  std::size_t len_ = 0;         // valid bytes in buf_
  std::uint64_t pos_ = 0;
  std::uint64_t size_ = 0;
  bool plain_ = false;
};

}  // namespace reader::detail
