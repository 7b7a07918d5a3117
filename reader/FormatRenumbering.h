#pragma once
// The renumbering of XF format numbers a worksheet BOF makes: every XF whose format number is
// the number of a FORMAT record takes that record's position plus 49, trying the FORMAT records
// in order (a renumbered value may match a later record and move on). Each BOF applies it to
// every XF again, so an XF's number after m BOFs is f^m of its number, f being one
// renumbering against the FORMAT records of the time.
//
// Applied at each BOF, that costs the XF count at every BOF, for numbers may cycle (50, 51,
// 50, ...) forever. Here a BOF only counts; f is built once per set of FORMAT records as a
// functional graph on the distinct format numbers (each reaching a fixed number or a cycle), and an
// XF is brought up to date when it is read: f^m in steps logarithmic in the graph's depth, whatever
// m. A new set of FORMAT records brings every XF up to date against the old one first: a pass over
// the XF and FORMAT tables. No real file has FORMAT records after a worksheet BOF; a file that adds
// some before every BOF would pay that pass at every BOF, so once the table is built a FORMAT
// record is taken only while the pass it brings costs no more than the bytes read since the last
// one can pay for (see Affords).
#include <cstdint>
#include <vector>

#include "reader/TXLSRead.h"

namespace reader::detail {

class FormatRenumbering {
 public:
  // The FORMAT and XF tables were cleared.
  void Invalidate();
  // A worksheet BOF read up to stream position `at`: every XF is renumbered once more against
  // `formats`.
  void Bof(std::vector<TXFRecord>& xfs, const std::vector<TFormatEntry>& formats, std::uint64_t at);
  // Whether one more FORMAT record, read up to position `at`, may be taken: always before the
  // first BOF of a table; after it, while the rebuild it brings (over `xfs` XF and `formats`
  // FORMAT entries) costs at most kBuildBytes units per byte read since the last build.
  bool Affords(std::size_t xfs, std::size_t formats, std::uint64_t at) const {
    return !built_ || xfs + formats + 1 <= kBuildAllowance + kBuildBytes * (at - builtAt_);
  }
  // XF i with the format number it holds after every BOF so far.
  void Resolve(std::vector<TXFRecord>& xfs, std::size_t i) {
    if (i >= stamp_.size() || stamp_[i] != bofs_) CatchUp(xfs, i);
  }
  void ResolveAll(std::vector<TXFRecord>& xfs);

 private:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};
  static constexpr std::uint32_t kFixed = 0x80000000u;  // anchor_: a fixed number, in the low bits
  static constexpr std::uint64_t kBuildBytes = 8, kBuildAllowance = 256;

  void Build(const std::vector<TFormatEntry>& formats);
  void CatchUp(std::vector<TXFRecord>& xfs, std::size_t i);
  void Sync(const std::vector<TXFRecord>& xfs);
  // f^m(v) against the table last built.
  std::uint16_t Advance(std::uint16_t v, std::uint64_t m) const;
  // The node whose number f gives node a's number to.
  std::uint32_t Next(std::uint32_t a) const;
  void AddChild(std::uint32_t a, std::uint32_t parent);

  // Per format number: the first FORMAT record with it (while building), then its node.
  std::vector<std::uint32_t> first_, node_;
  std::vector<std::uint16_t> number_, after_;  // per FORMAT record
  // Per node (a distinct format number): its number, how many steps of f lead to its anchor
  // (a number f fixes, or a node on a cycle), its parent (the node f leads to) and a jump
  // pointer further up the same path, for finding the node k steps on in few steps.
  std::vector<std::uint16_t> value_;
  std::vector<std::uint32_t> depth_, anchor_, parent_, jump_;
  // Nodes on cycles, each cycle in the order f walks it; per cycle node its place here, and
  // per node on a cycle the first place and the length of its cycle.
  std::vector<std::uint32_t> cycle_, place_, cycleStart_, cycleLength_;

  bool built_ = false;
  std::uint64_t builtAt_ = 0;         // stream position of the last build
  std::size_t formats_ = 0;           // FORMAT records the table was built from
  std::uint32_t bofs_ = 0;            // worksheet BOFs since the table was built
  std::vector<std::uint32_t> stamp_;  // per XF: the BOFs its format number includes
  std::size_t resolved_ = 0;          // XFs up to date as a whole at resolvedAt_ BOFs
  std::uint32_t resolvedAt_ = kNone;
};

}  // namespace reader::detail
