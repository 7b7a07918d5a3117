#pragma once
// Small helpers of the byte-exact reader cases: a workbook made in memory opened or read
// through a temporary file.
#include <algorithm>
#include <string>

#include "BookBuilder.h"
#include "support/ReaderHarness.h"
#include "support/TempFile.h"

namespace testbiff {

// The harness names every byte-exact case reads with, in scope through `using namespace testbiff`.
using testreader::Collected;
using testreader::Kind;
using testreader::ReadAll;
using testreader::ReadOptions;

inline std::string OpenError(const Bytes& data, const std::string& fileName = {}) {
  reader::TXLSRead r;
  TempFile f(data);
  r.FileName = fileName.empty() ? f.path() : fileName;
  try {
    r.Open();
  } catch (const reader::EXLSError& e) {
    return e.what();
  }
  return "";
}

inline testreader::Collected ReadBytes(const Bytes& data, const testreader::ReadOptions& o = {}) {
  TempFile f(data);
  return testreader::ReadAll(f.path(), o);
}

inline bool AnyMessageContains(const testreader::Collected& c, const std::string& text) {
  return std::any_of(c.messages.begin(), c.messages.end(),
                     [&](const std::string& m) { return m.find(text) != std::string::npos; });
}

}  // namespace testbiff
