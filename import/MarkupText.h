#pragma once
// Markup as the import's messages use it: data joined into a message is escaped so its code
// characters show as themselves, and the command-line tool prints messages as plain text.
#include <string>
#include <string_view>

namespace imp {

// A backslash before every "@", "&", "$", "%" and "~" of the data.
std::string EscapeForMarkup(std::string_view data);

// The text a reader sees: codes and their numbers dropped, escapes resolved, each carriage
// return a line feed.
std::string MarkupToPlainText(std::string_view markup);

}  // namespace imp
