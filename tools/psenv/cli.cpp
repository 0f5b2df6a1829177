#include "cli.h"

namespace psenv {

std::optional<Args> parse_command(int argc, char **argv, int first,
                                  const std::vector<OptionSpec> &spec, std::string_view command,
                                  void (*help)(), int &status)
{
    std::vector<Option> options;
    for (const OptionSpec &option : spec)
        options.push_back({option.name, option.takes_value ? "X" : ""});
    Args args;
    status = parse_args(argc, argv, first, options, command, args);
    if (status != kExitOk)
        return std::nullopt;
    if (args.has("help")) {
        help();
        return std::nullopt;
    }
    return args;
}

}  // namespace psenv
