#pragma once
// The renumbering of XF format numbers a worksheet BOF makes: every XF whose format number is
// the number of a FORMAT record takes that record's position plus 49, trying the FORMAT records
// in order (a renumbered value may match a later record and move on). Each BOF applies it to
// every XF again. Done naively that costs XF records times FORMAT records at every BOF; here
// the renumbering is a table built once per set of FORMAT records (in their count), and a BOF
// touches only the XFs the table would still change.
#include <cstdint>
#include <vector>

#include "reader/TXLSRead.h"

namespace reader::detail {

class FormatRenumbering {
 public:
  // The FORMAT or XF table was cleared: everything is looked at again at the next BOF.
  void Invalidate() { built_ = false; }
  void Apply(std::vector<TXFRecord>& xfs, const std::vector<masks::TExcelMask>& formats);

 private:
  void Build(const std::vector<masks::TExcelMask>& formats);

  static constexpr std::uint32_t kNone = ~std::uint32_t{0};
  // A format number's number after one renumbering.
  std::uint16_t Map(std::uint16_t v) const { return first_[v] == kNone ? v : after_[first_[v]]; }

  std::vector<std::uint32_t> first_;           // per format number: the first FORMAT record with it
  std::vector<std::uint16_t> number_, after_;  // per FORMAT record
  bool built_ = false;
  std::size_t formats_ = 0;          // FORMAT records the table was built from
  std::size_t xfs_ = 0;              // XF records seen so far
  std::vector<std::size_t> moving_;  // XFs whose number the table still changes
};

}  // namespace reader::detail
