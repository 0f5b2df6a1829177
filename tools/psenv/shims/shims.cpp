// psenv shims: the shims of a shim set, their names and indices.
#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "core/command.h"
#include "core/numbers.h"
#include "core/parameter_file.h"
#include "core/streams.h"
#include "shims.h"
#include "vartree.h"

namespace psenv::shims {

namespace {

// Makes the set current: its number in `set`.  A --set outside the table is
// a usage error, a --params file that cannot be read whole a failure.
int choose_set(const Call &call, int &set)
{
    const Args &args = call.args;
    if (auto params = args.get("params")) {
        if (const int status = load_parameters(*params); status != kExitOk)
            return status;
        // The module's notes on a clamped set come out with the tool's prefix.
        ModuleStderr notes;
        set = init_shimnames(VARTREE_SYSTEM);
        return kExitOk;
    }
    const std::string text = args.get("set").value_or("");
    // The module takes any number, but outside 1 to 20 it answers for a set
    // that does not exist (every index present, none counted).
    const std::optional<long long> given = parse_whole(text, 1, MAX_SHIMSET);
    if (!given)
        return bad_number("--set", text, "a shim set from 1 to " + std::to_string(MAX_SHIMSET),
                          call.command);
    set = static_cast<int>(*given);
    init_shimnames_by_setnum(set);
    return kExitOk;
}

// The checks every operation shares: its operand (`operand`, if it takes
// one), the choice of the set.
int prepare(const Call &call, std::string_view operation, std::string_view operand, int &set)
{
    const auto &operands = call.args.operands;
    const std::size_t wanted = operand.empty() ? 0 : 1;
    if (operands.size() < wanted)
        return call.usage("shims " + std::string(operation) + " needs " + std::string(operand));
    if (operands.size() > wanted)
        return call.usage("unexpected argument '" + operands[wanted] + "'");
    if (call.args.has("set") == call.args.has("params"))
        return call.usage("give either --set N or --params FILE");
    return choose_set(call, set);
}

int list(const Call &call)
{
    int set = 0;
    if (const int status = prepare(call, "list", "", set); status != kExitOk)
        return status;
    for (unsigned index = 0; index < SHIM_INDEX_COUNT; ++index)
        if (const char *name = get_shimname(index))
            std::printf("%u\t%s\n", index, name);
    return kExitOk;
}

int count(const Call &call)
{
    int set = 0;
    if (const int status = prepare(call, "count", "", set); status != kExitOk)
        return status;
    std::printf("%d\n", shimCount());
    return kExitOk;
}

int name(const Call &call)
{
    int set = 0;
    if (const int status = prepare(call, "name", "an INDEX", set); status != kExitOk)
        return status;
    const std::string &text = call.args.operands[0];
    const std::optional<long long> index = parse_integer(text);
    if (!index)
        return bad_number("INDEX", text, "a whole number", call.command);
    const char *found = nullptr;
    if (*index >= 0 && *index <= UINT_MAX)
        found = get_shimname(static_cast<unsigned>(*index));
    if (found == nullptr) {
        error("no shim " + text + " in shim set " + std::to_string(set));
        return kExitFailure;
    }
    std::printf("%s\n", found);
    return kExitOk;
}

int index(const Call &call)
{
    int set = 0;
    if (const int status = prepare(call, "index", "a NAME", set); status != kExitOk)
        return status;
    const std::string &wanted = call.args.operands[0];
    const int found = get_shimindex(wanted.c_str());
    if (found < 0) {
        error("no shim '" + wanted + "' in shim set " + std::to_string(set));
        return kExitFailure;
    }
    std::printf("%d\n", found);
    return kExitOk;
}

constexpr Option kOptions[] = {
    {"set", "N", "use shim set N (a whole number from 1 to 20)"},
    {"params", "FILE",
     "load FILE into the current tree and use its 'shimset'\n"
     "(rounded; below 1 gives set 1, above 20 set 20, with a\n"
     "message; none gives set 1)"},
};

}  // namespace

// The usage forms of the operations line up.
extern constinit const Command kList{
    .name = "list",
    .summary = "every shim of the set: its index, a tab and its name",
    .usage = "       (--set N | --params FILE)",
    .run = list,
};

extern constinit const Command kCount{
    .name = "count",
    .summary = "the number of shims of the set",
    .usage = "      (--set N | --params FILE)",
    .run = count,
};

extern constinit const Command kName{
    .name = "name",
    .summary = "the name of the shim at INDEX (0 to 47)",
    .usage = "INDEX  (--set N | --params FILE)",
    .run = name,
};

extern constinit const Command kIndex{
    .name = "index",
    .summary = "the index of the shim called NAME (case matters)",
    .usage = "NAME  (--set N | --params FILE)",
    .run = index,
};

extern constinit const Command kShims{
    .name = "shims",
    .summary = "list shim names and indices of a shim set",
    .options = kOptions,
    .help = "Answer questions about the shims of a shim set (1 to 20).\n"
            "\n"
            "{commands}\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 ok; 1 no such shim in the set, or failure (a --params file\n"
            "that cannot be read whole, a failed output); 2 usage error (also a --set\n"
            "outside 1 to 20).",
    .command_column = 10,
    .operation_among_operands = true,
};

}  // namespace psenv::shims
