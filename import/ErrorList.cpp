#include "import/ErrorList.h"

#include "import/MarkupText.h"
#include "platform/Files.h"

namespace imp {

std::filesystem::path ErrorListPath() {
  return platform::ProgramDataDir() / kErrorFileName;
}

void SaveErrorLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  platform::WriteFileAtomically(file, text);
}

std::string ErrorListSavedMessage(const std::filesystem::path& file) {
  return " A fost generat fisierul cu erori @15% \r\r" + EscapeForMarkup(file.string());
}

}  // namespace imp
