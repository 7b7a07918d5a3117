#pragma once
// Test-only compound-file writer: version 3, 512-byte sectors, FAT, DIFAT sectors when the FAT
// outgrows the header's 109 entries, and a mini stream for streams under the 4096-byte cutoff.
// All streams sit in the root storage, which is all a workbook needs.
#include <string>
#include <vector>

#include "support/BiffWriter.h"

namespace testbiff {

struct CfbStream {
  std::string name;  // ASCII
  Bytes data;
};

struct CfbOptions {
  std::size_t miniCutoff = 4096;  // streams below this size go into the mini stream
};

Bytes WriteCompoundFile(const std::vector<CfbStream>& streams, const CfbOptions& options = {});

}  // namespace testbiff
