// The option parsing the sched commands used before the command table,
// until they move to it.
#ifndef PSENV_TOOL_CLI_H
#define PSENV_TOOL_CLI_H

#include <optional>
#include <string_view>
#include <vector>

#include "core/command.h"
#include "core/numbers.h"
#include "core/report.h"

namespace psenv {

struct OptionSpec {
    std::string_view name;
    bool takes_value;
};

std::optional<Args> parse_command(int argc, char **argv, int first,
                                  const std::vector<OptionSpec> &spec, std::string_view command,
                                  void (*help)(), int &status);

}  // namespace psenv

#endif
