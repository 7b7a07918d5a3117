#pragma once
// Every failure of the .xlsx and .csv readers. The reason lets callers tell a damaged file from
// one refused on purpose (a size limit, a password).
#include <stdexcept>
#include <string>

namespace xlsx {

enum class FailReason { NotAPackage, Damaged, Limit, Encrypted };

class XlsxError : public std::runtime_error {
 public:
  XlsxError(FailReason reason, const std::string& text)
      : std::runtime_error(text), reason_(reason) {}
  FailReason Reason() const { return reason_; }

 private:
  FailReason reason_;
};

// The text shown for a password-protected workbook, .xls or .xlsx alike.
inline constexpr const char* kEncryptedText = "Can not read, file is encrypted";

}  // namespace xlsx
