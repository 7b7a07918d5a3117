#pragma once
// Reads an Office Open XML workbook (.xlsx, .xlsm, templates; transitional or strict) into a
// Book: the package through ZipPackage, each part through one streaming XML pass.
#include <filesystem>

#include "xlsx/Book.h"

namespace xlsx {

// Raises XlsxError: NotAPackage for a file that is no ZIP, Encrypted for a password-protected
// package (a compound file holding EncryptedPackage), Limit for a ZIP bomb or a DTD, Damaged
// for the rest.
void ReadXlsx(const std::filesystem::path& file, const ReadOptions& options, Book& book);

// True when the file is a compound file that holds an encrypted OOXML package.
bool IsEncryptedPackage(const std::filesystem::path& file);

}  // namespace xlsx
