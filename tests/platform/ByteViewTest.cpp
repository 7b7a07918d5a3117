#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/ByteView.h"

namespace {

struct Overrun : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Throw(const void* context, std::size_t, std::size_t, std::size_t) {
  throw Overrun(static_cast<const char*>(context));
}

TEST(ByteView, ReadsInsideAndRefusesPastTheEnd) {
  const std::vector<std::uint8_t> b = {0x01, 0x02, 0x03, 0x04, 0x05};
  platform::ByteView v(b.data(), b.size(), Throw, "kurz");
  EXPECT_EQ(v.U16(3), 0x0504);
  EXPECT_EQ(v.U32(1), 0x05040302u);
  EXPECT_EQ(v.U16BE(0), 0x0102);
  EXPECT_THROW(v.U16(4), Overrun);
  EXPECT_THROW(v.U32(2), Overrun);
  EXPECT_THROW(v.Sub(5, 1), Overrun);
  // An offset near SIZE_MAX must not wrap round into the buffer.
  EXPECT_FALSE(v.Has(static_cast<std::size_t>(-1), 2));
  EXPECT_THROW(v.U8(static_cast<std::size_t>(-1)), Overrun);
  EXPECT_EQ(v.Sub(1, 4).U8(3), 0x05);
  EXPECT_THROW(v.Sub(1, 2).U16(1), Overrun) << "a sub-view is bounded by its own end";
}

TEST(ByteView, CursorStopsAtTheEndWithoutAHook) {
  const std::vector<std::uint8_t> b = {0x10, 0x20, 0x30};
  platform::ByteCursor c(platform::ByteView(b.data(), b.size()));
  EXPECT_EQ(c.U16(), 0x2010);
  EXPECT_TRUE(c.Has(1));
  EXPECT_EQ(c.U32(), 0u) << "a read that overruns yields zero when no hook throws";
  EXPECT_TRUE(c.AtEnd());
  EXPECT_EQ(c.Take(1).Size(), 0u);
}

}  // namespace
