#include "reader/FormatRenumbering.h"

namespace reader::detail {

void FormatRenumbering::Build(const std::vector<masks::TExcelMask>& formats) {
  // Costs the count of FORMAT records: only the entries of `first_` set last time are reset.
  if (first_.empty()) first_.assign(0x10000, kNone);
  for (std::size_t k = 0; k < formats_; ++k) first_[number_[k]] = kNone;
  const std::size_t n = formats.size();
  number_.resize(n);
  for (std::size_t k = 0; k < n; ++k)
    number_[k] = static_cast<std::uint16_t>(formats[k].FormatIndex);
  // after_[k]: the number an XF ends with once FORMAT k has matched it, found from the last
  // record back while first_[v] is the first record after k whose number is v.
  after_.resize(n);
  for (std::size_t k = n; k-- > 0;) {
    const auto v = static_cast<std::uint16_t>(49 + k);
    after_[k] = first_[v] == kNone ? v : after_[first_[v]];
    first_[number_[k]] = static_cast<std::uint32_t>(k);
  }
  formats_ = n;
}

void FormatRenumbering::Apply(std::vector<TXFRecord>& xfs,
                              const std::vector<masks::TExcelMask>& formats) {
  if (!built_ || formats.size() != formats_ || xfs.size() < xfs_) {
    moving_.clear();
    xfs_ = 0;
    Build(formats);
    built_ = true;
  }
  for (std::size_t i = xfs_; i < xfs.size(); ++i) moving_.push_back(i);
  xfs_ = xfs.size();
  if (formats_ == 0) {
    moving_.clear();  // no FORMAT record: nothing is renumbered
    return;
  }
  std::size_t kept = 0;
  for (const std::size_t i : moving_) {
    TXFRecord& xf = xfs[i];
    const std::uint16_t n = Map(xf.FormatNumber());
    xf.Data[2] = static_cast<std::uint8_t>(n & 0xFF);
    xf.Data[3] = static_cast<std::uint8_t>(n >> 8);
    if (Map(n) != n) moving_[kept++] = i;
  }
  moving_.resize(kept);
}

}  // namespace reader::detail
