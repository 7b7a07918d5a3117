// The one way this program reads bytes it did not write itself: a view over a buffer whose
// every read is checked against its end, and a cursor that walks it. A read past the end calls
// the failure hook the layer supplied (which throws that layer's own error, with its own
// message); a hook that returns makes the read yield zero, so no read ever leaves the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace platform {

// Little- and big-endian loads from memory the caller has already bounds-checked.
inline std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t LoadU64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(LoadU32(p)) |
         (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
}
inline double LoadF64(const std::uint8_t* p) {
  const std::uint64_t bits = LoadU64(p);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
inline std::uint16_t LoadU16BE(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t LoadU32BE(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

// Little- and big-endian stores, for the writers of the same formats.
inline void StoreU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreU16BE(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
inline void StoreU32BE(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// Called with the offset and length of a read that does not fit in a view of `size` bytes.
// `context` is whatever the layer passed when it made the view.
using OverrunHook = void (*)(const void* context, std::size_t at, std::size_t count,
                             std::size_t size);

class ByteView {
 public:
  ByteView() = default;
  ByteView(const std::uint8_t* data, std::size_t size, OverrunHook hook = nullptr,
           const void* context = nullptr)
      : data_(data), size_(size), hook_(hook), context_(context) {}

  const std::uint8_t* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  // True when `count` bytes starting at `at` lie inside the view (no overflow in the sum).
  bool Has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }

  std::uint8_t U8(std::size_t at) const { return Has(at, 1) ? data_[at] : Overrun(at, 1); }
  std::uint16_t U16(std::size_t at) const {
    return Has(at, 2) ? LoadU16(data_ + at) : Overrun(at, 2);
  }
  std::uint32_t U32(std::size_t at) const {
    return Has(at, 4) ? LoadU32(data_ + at) : Overrun(at, 4);
  }
  std::int16_t I16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  std::uint64_t U64(std::size_t at) const {
    return Has(at, 8) ? LoadU64(data_ + at) : Overrun(at, 8);
  }
  double F64(std::size_t at) const { return Has(at, 8) ? LoadF64(data_ + at) : Overrun(at, 8); }
  std::uint16_t U16BE(std::size_t at) const {
    return Has(at, 2) ? LoadU16BE(data_ + at) : Overrun(at, 2);
  }
  std::uint32_t U32BE(std::size_t at) const {
    return Has(at, 4) ? LoadU32BE(data_ + at) : Overrun(at, 4);
  }

  // The `count` bytes at `at`, as a view with the same hook; an empty view when they overrun.
  ByteView Sub(std::size_t at, std::size_t count) const {
    if (!Has(at, count)) {
      Overrun(at, count);
      return ByteView(nullptr, 0, hook_, context_);
    }
    return ByteView(data_ + at, count, hook_, context_);
  }
  // Everything from `at` to the end (empty when `at` is past it).
  ByteView From(std::size_t at) const {
    return at <= size_ ? ByteView(data_ + at, size_ - at, hook_, context_)
                       : ByteView(nullptr, 0, hook_, context_);
  }
  std::string_view Chars(std::size_t at, std::size_t count) const {
    const ByteView s = Sub(at, count);
    return {reinterpret_cast<const char*>(s.data_), s.size_};
  }

 private:
  std::uint8_t Overrun(std::size_t at, std::size_t count) const {
    if (hook_ != nullptr) hook_(context_, at, count, size_);
    return 0;
  }

  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  OverrunHook hook_ = nullptr;
  const void* context_ = nullptr;
};

// Walks a view front to back; every Take is checked like the view's own reads.
class ByteCursor {
 public:
  explicit ByteCursor(ByteView view) : view_(view) {}

  std::size_t Pos() const { return pos_; }
  std::size_t Left() const { return view_.Size() - pos_; }
  bool Has(std::size_t count) const { return count <= Left(); }
  bool AtEnd() const { return pos_ >= view_.Size(); }
  const ByteView& View() const { return view_; }

  // Moves on by `count` bytes; past the end it calls the hook and stops at the end.
  void Skip(std::size_t count) {
    if (!Has(count)) {
      (void)view_.Sub(pos_, count);
      pos_ = view_.Size();
      return;
    }
    pos_ += count;
  }
  ByteView Take(std::size_t count) {
    ByteView v = view_.Sub(pos_, count);
    pos_ = Has(count) ? pos_ + count : view_.Size();
    return v;
  }
  std::uint8_t U8() { return Advance(view_.U8(pos_), 1); }
  std::uint16_t U16() { return Advance(view_.U16(pos_), 2); }
  std::uint32_t U32() { return Advance(view_.U32(pos_), 4); }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  double F64() { return Advance(view_.F64(pos_), 8); }

 private:
  template <class T>
  T Advance(T value, std::size_t count) {
    pos_ = Has(count) ? pos_ + count : view_.Size();
    return value;
  }

  ByteView view_;
  std::size_t pos_ = 0;
};

}  // namespace platform
