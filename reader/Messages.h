#pragma once
// The reader's own messages, kept to the letter as callers and stored logs know them. Their
// English, spelling included ("owerflow", "a Excel"), is part of the interface: programs
// compare these texts, so they are never corrected or translated. Every message raised as
// EXLSError that callers look for is named here; a message with a variable part names the
// fixed start the caller compares.
namespace reader::msg {

inline constexpr const char* kFilenameMissing = "Filename is missing";
inline constexpr const char* kNotAWorkbook = "File is not a Excel Workbook";
inline constexpr const char* kNotAnExcelFile = "File is not a Excel file";
inline constexpr const char* kFileNotOpen = "File is not open";
inline constexpr const char* kSheetNotFound = "Can not find the sheet";
inline constexpr const char* kNoData = "File has no data";
inline constexpr const char* kEncrypted = "Can not read, file is encrypted";
inline constexpr const char* kSstOverflowStart = "SST Buffer owerflow (";  // + count + ")"
inline constexpr const char* kContinueMissing = "CONTINUE record missing";
inline constexpr const char* kUnknownStringStart = "Unknown string [";  // + hex + "] in SST"
inline constexpr const char* kUnhandledSstStart = "Unhandled string in SST [";  // + hex + "]"
inline constexpr const char* kUnknownPtgStart = "Unknown ptg";                  // + "[XX]"

}  // namespace reader::msg
