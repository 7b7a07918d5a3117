// imppret: the command-line face of the workbook reader, the table engine, the import run and
// the calculator. Output formats are a contract with scripts: keep them.
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "app/imppret/Command.h"
#include "platform/Formats.h"

namespace imppret {
namespace {

struct Entry {
  const char* usage;
  CommandFn fn;
};

std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> registry;
  return registry;
}

void PrintUsage() {
  std::fprintf(stderr, "usage:\n");
  for (const auto& [name, entry] : Registry()) std::fprintf(stderr, "  imppret %s\n", entry.usage);
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage, CommandFn fn) {
  Registry()[name] = Entry{usage, fn};
}

bool PrintReaderMessage(const std::string& text, bool) {
  std::string line = text;
  for (char& c : line)
    if (c == '\r') c = ' ';
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", line.c_str());
  return true;
}

}  // namespace imppret

int main(int argc, char** argv) {
  // Every number the tool reads or prints converts as in the main window.
  platform::FixProgramFormats();
  if (argc < 2) {
    imppret::PrintUsage();
    return 2;
  }
  auto it = imppret::Registry().find(argv[1]);
  if (it == imppret::Registry().end()) {
    std::fprintf(stderr, "imppret: unknown command '%s'\n", argv[1]);
    imppret::PrintUsage();
    return 2;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    return it->second.fn(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
