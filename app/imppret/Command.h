#pragma once
// The sub-commands of imppret. Each lives in its own file and registers itself with
// IMPPRET_COMMAND(name, usage, function); main() dispatches on the first argument.
#include <string>
#include <vector>

namespace imppret {

// args holds the words after the command name. Returns the process exit code.
using CommandFn = int (*)(const std::vector<std::string>& args);

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandFn fn);
};

// The reader's message hook of dump and cell: one line on stderr per message (its CRs shown as
// blanks), after what stdout holds so far; reading goes on.
bool PrintReaderMessage(const std::string& text, bool question);

}  // namespace imppret

#define IMPPRET_COMMAND_CAT2(a, b) a##b
#define IMPPRET_COMMAND_CAT(a, b) IMPPRET_COMMAND_CAT2(a, b)
#define IMPPRET_COMMAND(name, usage, fn)                                                           \
  static const ::imppret::CommandRegistration IMPPRET_COMMAND_CAT(command_, __LINE__)(name, usage, \
                                                                                      fn)
