// psenv shims: the shims of a shim set, their names and indices.
#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli.h"
#include "commands.h"
#include "param_file.h"
#include "shims.h"
#include "tool_streams.h"

namespace psenv {

namespace {

constexpr std::string_view kCommand = "shims";

constexpr const char *kHelp =
    "Usage: psenv shims list        (--set N | --params FILE)\n"
    "       psenv shims count       (--set N | --params FILE)\n"
    "       psenv shims name INDEX  (--set N | --params FILE)\n"
    "       psenv shims index NAME  (--set N | --params FILE)\n"
    "\n"
    "Answer questions about the shims of a shim set (1 to 20).\n"
    "\n"
    "  list    every shim of the set: its index, a tab and its name\n"
    "  count   the number of shims of the set\n"
    "  name    the name of the shim at INDEX (0 to 47)\n"
    "  index   the index of the shim called NAME (case matters)\n"
    "\n"
    "  --set N        use shim set N (a whole number from 1 to 20)\n"
    "  --params FILE  load FILE into the current tree and use its 'shimset'\n"
    "                 (rounded; below 1 gives set 1, above 20 set 20, with a\n"
    "                 message; none gives set 1)\n"
    "\n"
    "Exit status: 0 ok; 1 no such shim in the set, or failure (a --params file\n"
    "that cannot be read whole, a failed output); 2 usage error (also a --set\n"
    "outside 1 to 20).\n";

// Makes the set current; its number, or nothing after a report.
std::optional<int> choose_set(const Args &args)
{
    if (auto params = args.get("params")) {
        if (!load_parameter_file(*params))
            return std::nullopt;
        // The module's notes on a clamped set come out with the tool's prefix.
        ModuleStderr notes;
        return init_shimnames(kCurrentTree);
    }
    const std::string text = args.get("set").value_or("");
    // The module takes any number, but outside 1 to 20 it answers for a set
    // that does not exist (every index present, none counted).
    const std::optional<long long> set = parse_whole(text, 1, MAX_SHIMSET);
    if (!set) {
        bad_number("--set", text, "a shim set from 1 to " + std::to_string(MAX_SHIMSET), kCommand);
        return std::nullopt;
    }
    init_shimnames_by_setnum(static_cast<int>(*set));
    return static_cast<int>(*set);
}

int list()
{
    for (unsigned index = 0; index < SHIM_INDEX_COUNT; ++index)
        if (const char *name = get_shimname(index))
            std::printf("%u\t%s\n", index, name);
    return kExitOk;
}

int name_of(const std::string &text, int set)
{
    const std::optional<long long> index = parse_whole(text, LLONG_MIN, LLONG_MAX);
    if (!index)
        return bad_number("INDEX", text, "a whole number", kCommand);
    const char *name = nullptr;
    if (*index >= 0 && *index <= UINT_MAX)
        name = get_shimname(static_cast<unsigned>(*index));
    if (name == nullptr) {
        error("no shim " + text + " in shim set " + std::to_string(set));
        return kExitFailure;
    }
    std::printf("%s\n", name);
    return kExitOk;
}

int index_of(const std::string &name, int set)
{
    const int index = get_shimindex(name.c_str());
    if (index < 0) {
        error("no shim '" + name + "' in shim set " + std::to_string(set));
        return kExitFailure;
    }
    std::printf("%d\n", index);
    return kExitOk;
}

}  // namespace

int cmd_shims(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"set", true}, {"params", true}},
                              kCommand, kHelp, exit_status);
    if (!args)
        return exit_status;
    const auto &operands = args->operands;
    if (operands.empty())
        return usage_error("shims: missing operation (list, count, name or index)", kCommand);
    const std::string &operation = operands[0];
    const bool takes_operand = operation == "name" || operation == "index";
    if (!takes_operand && operation != "list" && operation != "count")
        return usage_error("shims: unknown operation '" + operation + "'", kCommand);
    const std::size_t wanted = takes_operand ? 2 : 1;
    if (operands.size() < wanted)
        return usage_error("shims " + operation + " needs " +
                               (operation == "name" ? "an INDEX" : "a NAME"),
                           kCommand);
    if (operands.size() > wanted)
        return usage_error("unexpected argument '" + operands[wanted] + "'", kCommand);
    if (args->has("set") == args->has("params"))
        return usage_error("give either --set N or --params FILE", kCommand);

    const std::optional<int> set = choose_set(*args);
    if (!set)
        return args->has("set") ? kExitUsage : kExitFailure;
    if (operation == "list")
        return list();
    if (operation == "count") {
        std::printf("%d\n", shimCount());
        return kExitOk;
    }
    if (operation == "name")
        return name_of(operands[1], *set);
    return index_of(operands[1], *set);
}

}  // namespace psenv
