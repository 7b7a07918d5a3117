#include "reader/formula/EncodedPath.h"

#include <algorithm>

namespace formula {

std::string ExternalBookText(std::string_view stored) {
  std::string path;
  std::size_t i = 0;
  const bool encoded = !stored.empty() && stored[0] == '\x01';
  if (encoded) i = 1;
  while (i < stored.size()) {
    const auto c = static_cast<unsigned char>(stored[i++]);
    if (c >= 0x20) {
      path.push_back(static_cast<char>(c));
      continue;
    }
    if (!encoded) continue;
    switch (c) {
      case 0x01:  // a drive letter, or '@' for a server
        if (i < stored.size()) {
          const char d = stored[i++];
          path += d == '@' ? std::string("\\\\") : std::string(1, d) + ":";
        }
        break;
      case 0x02:
      case 0x03: path.push_back('\\'); break;
      case 0x04: path += "..\\"; break;
      case 0x05:  // a volume name: its length, then the name
        if (i < stored.size()) {
          const std::size_t n = static_cast<unsigned char>(stored[i++]);
          const std::size_t take = std::min(n, stored.size() - i);
          path.append(stored.substr(i, take));
          path.push_back(':');
          i += take;
        }
        break;
      default: break;  // the program's own folders, and anything unknown: nothing to show
    }
  }
  const std::size_t slash = path.find_last_of("\\/:");
  if (slash == std::string::npos) return "[" + path + "]";
  return path.substr(0, slash + 1) + "[" + path.substr(slash + 1) + "]";
}

}  // namespace formula
