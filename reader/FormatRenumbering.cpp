#include "reader/FormatRenumbering.h"

namespace reader::detail {

void FormatRenumbering::Invalidate() {
  built_ = false;
  bofs_ = 0;
  stamp_.clear();
  resolved_ = 0;
  resolvedAt_ = kNone;
}

std::uint32_t FormatRenumbering::Next(std::uint32_t a) const {
  const std::uint16_t v = value_[a];
  return node_[after_[first_[v]]];
}

void FormatRenumbering::AddChild(std::uint32_t a, std::uint32_t parent) {
  // Jump pointers of a skew-binary shape: from any node, the node k steps on is reached in
  // steps logarithmic in k.
  depth_[a] = depth_[parent] + 1;
  anchor_[a] = anchor_[parent];
  parent_[a] = parent;
  const std::uint32_t j = jump_[parent];
  jump_[a] = depth_[parent] - depth_[j] == depth_[j] - depth_[jump_[j]] ? jump_[j] : parent;
}

void FormatRenumbering::Build(const std::vector<TFormatEntry>& formats) {
  // Costs the count of FORMAT records: only the entries set last time are reset.
  if (first_.empty()) {
    first_.assign(0x10000, kNone);
    node_.assign(0x10000, kNone);
  }
  for (std::size_t k = 0; k < formats_; ++k) first_[number_[k]] = kNone;
  for (const std::uint16_t v : value_) node_[v] = kNone;
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

  // One node per distinct format number: f(v) = after_[first_[v]]; every other number stays.
  value_.clear();
  for (std::size_t k = 0; k < n; ++k)
    if (first_[number_[k]] == k) {
      node_[number_[k]] = static_cast<std::uint32_t>(value_.size());
      value_.push_back(number_[k]);
    }
  const std::size_t nodes = value_.size();
  depth_.assign(nodes, 0);
  anchor_.assign(nodes, 0);
  parent_.assign(nodes, 0);
  jump_.assign(nodes, 0);
  place_.assign(nodes, 0);
  cycleStart_.assign(nodes, 0);
  cycleLength_.assign(nodes, 0);
  cycle_.clear();

  // Walk f from each node not yet placed, until a placed node, a number f fixes, or a node of
  // this walk (a cycle). The walk's remaining nodes then hang from the one that ends it.
  enum : std::uint8_t { kNew, kOnPath, kPlaced };
  std::vector<std::uint8_t> state(nodes, kNew);
  std::vector<std::uint32_t> path, pathAt(nodes, 0);
  for (std::uint32_t start = 0; start < nodes; ++start) {
    if (state[start] != kNew) continue;
    path.clear();
    std::uint32_t x = start;
    for (;;) {
      state[x] = kOnPath;
      pathAt[x] = static_cast<std::uint32_t>(path.size());
      path.push_back(x);
      const std::uint16_t image = after_[first_[value_[x]]];
      const std::uint32_t next = node_[image];
      if (image == value_[x] || next == kNone) {
        // f fixes its image: x is its anchor's root, 0 steps from it when x is that number.
        const bool fixed = image == value_[x];
        depth_[x] = fixed ? 0 : 1;
        anchor_[x] = kFixed | image;
        parent_[x] = jump_[x] = x;
        state[x] = kPlaced;
        path.pop_back();
        break;
      }
      if (state[next] == kNew) {
        x = next;
        continue;
      }
      if (state[next] == kOnPath) {
        // The path from `next` on is a cycle.
        const std::size_t from = pathAt[next];
        const auto begin = static_cast<std::uint32_t>(cycle_.size());
        const auto length = static_cast<std::uint32_t>(path.size() - from);
        for (std::size_t i = from; i < path.size(); ++i) {
          const std::uint32_t c = path[i];
          place_[c] = static_cast<std::uint32_t>(cycle_.size());
          cycle_.push_back(c);
          cycleStart_[c] = begin;
          cycleLength_[c] = length;
          depth_[c] = 0;
          anchor_[c] = c;
          parent_[c] = jump_[c] = c;
          state[c] = kPlaced;
        }
        path.resize(from);
      }
      break;
    }
    while (!path.empty()) {
      const std::uint32_t y = path.back();
      path.pop_back();
      AddChild(y, Next(y));
      state[y] = kPlaced;
    }
  }
}

std::uint16_t FormatRenumbering::Advance(std::uint16_t v, std::uint64_t m) const {
  if (m == 0 || node_.empty()) return v;
  std::uint32_t a = node_[v];
  if (a == kNone) return v;  // no FORMAT record has this number: f keeps it
  if (m >= depth_[a]) {
    const std::uint32_t anchor = anchor_[a];
    if (anchor & kFixed) return static_cast<std::uint16_t>(anchor & 0xFFFF);
    const std::uint64_t around =
        (place_[anchor] - cycleStart_[anchor] + (m - depth_[a])) % cycleLength_[anchor];
    return value_[cycle_[cycleStart_[anchor] + around]];
  }
  const std::uint32_t target = depth_[a] - static_cast<std::uint32_t>(m);
  while (depth_[a] > target) a = depth_[jump_[a]] >= target ? jump_[a] : parent_[a];
  return value_[a];
}

void FormatRenumbering::Sync(const std::vector<TXFRecord>& xfs) {
  // XFs read since the last look have had none of the BOFs so far.
  if (stamp_.size() > xfs.size()) stamp_.clear();  // a table cleared: its XFs are new
  stamp_.resize(xfs.size(), bofs_);
}

void FormatRenumbering::Bof(std::vector<TXFRecord>& xfs, const std::vector<TFormatEntry>& formats,
                            std::uint64_t at) {
  Sync(xfs);
  if (!built_ || formats.size() != formats_ || bofs_ == kNone - 1) {
    if (built_) ResolveAll(xfs);  // the BOFs so far against the table they met
    Build(formats);
    built_ = true;
    builtAt_ = at;
    bofs_ = 0;
    stamp_.assign(xfs.size(), 0);
    resolvedAt_ = kNone;
  }
  ++bofs_;
}

void FormatRenumbering::CatchUp(std::vector<TXFRecord>& xfs, std::size_t i) {
  if (i >= stamp_.size()) Sync(xfs);
  if (i >= stamp_.size() || stamp_[i] == bofs_) return;
  TXFRecord& xf = xfs[i];
  const std::uint16_t n = Advance(xf.FormatNumber(), bofs_ - stamp_[i]);
  xf.Data[2] = static_cast<std::uint8_t>(n & 0xFF);
  xf.Data[3] = static_cast<std::uint8_t>(n >> 8);
  stamp_[i] = bofs_;
}

void FormatRenumbering::ResolveAll(std::vector<TXFRecord>& xfs) {
  if (resolvedAt_ == bofs_ && resolved_ == xfs.size() && stamp_.size() == xfs.size()) return;
  Sync(xfs);
  for (std::size_t i = 0; i < xfs.size(); ++i) Resolve(xfs, i);
  resolved_ = xfs.size();
  resolvedAt_ = bofs_;
}

}  // namespace reader::detail
