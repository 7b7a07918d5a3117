#pragma once
// Record errors of one Read, so that a file repeating one fault in thousands of records asks
// about it once and reports the rest as a count.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace reader::detail {

class RepeatedErrors {
 public:
  // True when `text` was already reported (the repeat is counted); false the first time.
  // Past kDistinct different texts, new ones are reported every time, keeping memory bounded.
  bool Seen(const std::string& text) {
    for (auto& [t, n] : seen_)
      if (t == text) {
        ++n;
        return true;
      }
    if (seen_.size() < kDistinct) seen_.emplace_back(text, 0);
    return false;
  }
  // The texts met again, with how many times after the first.
  std::vector<std::pair<std::string, std::uint64_t>> Counts() const {
    std::vector<std::pair<std::string, std::uint64_t>> out;
    for (const auto& e : seen_)
      if (e.second > 0) out.push_back(e);
    return out;
  }
  void Clear() { seen_.clear(); }

 private:
  static constexpr std::size_t kDistinct = 64;
  std::vector<std::pair<std::string, std::uint64_t>> seen_;
};

}  // namespace reader::detail
