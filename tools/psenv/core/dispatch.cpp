#include "core/dispatch.h"

#include <cstdio>
#include <string>

#include "core/help.h"

namespace psenv {
namespace {

const CommandNode *find_sub(const CommandNode &group, std::string_view word)
{
    for (const CommandNode &sub : group.subcommands)
        if (sub.command->name == word)
            return &sub;
    return nullptr;
}

int print_help(const CommandNode &node, std::string_view path)
{
    std::fputs(help_text(node, path).c_str(), stdout);
    return kExitOk;
}

// "offset, word, freq or ddsi"
std::string choices(const CommandNode &group)
{
    std::string text;
    const std::size_t count = group.subcommands.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += i + 1 == count ? " or " : ", ";
        text += group.subcommands[i].command->name;
    }
    return text;
}

// A group whose operation may follow its options: the whole command line is
// read against the group's options, and the first operand names the
// operation.
int run_operation(const CommandNode &group, std::string_view path, int argc, char **argv,
                  const Command *&reached)
{
    const Command &command = *group.command;
    Args args;
    if (const int status = parse_args(argc, argv, 1, command.options, path, args);
        status != kExitOk)
        return status;
    if (args.has("help"))
        return print_help(group, path);
    const std::string prefix = std::string(command.name) + ": ";
    if (args.operands.empty())
        return usage_error(prefix + "missing operation (" + choices(group) + ")", path);
    const CommandNode *operation = find_sub(group, args.operands.front());
    if (operation == nullptr)
        return usage_error(prefix + "unknown operation '" + args.operands.front() + "'", path);
    reached = operation->command;
    args.operands.erase(args.operands.begin());
    return operation->command->run(Call{args, path});
}

int run_node(const CommandNode &node, const std::string &path, int argc, char **argv,
             const Command *&reached)
{
    const Command &command = *node.command;
    reached = &command;
    if (node.subcommands.empty()) {
        Args args;
        if (const int status = parse_args(argc, argv, 1, command.options, path, args);
            status != kExitOk)
            return status;
        if (args.has("help"))
            return print_help(node, path);
        return command.run(Call{args, path});
    }
    if (command.operation_among_operands)
        return run_operation(node, path, argc, argv, reached);

    const bool root = path.empty();
    const std::string prefix = root ? "" : std::string(command.name) + ": ";
    const std::string noun = root ? "command" : "subcommand";
    if (argc < 2)
        return usage_error(prefix + "missing " + noun, path);
    const std::string_view word = argv[1];
    if (word == "--help" || word == "-h" || (root && word == "help"))
        return print_help(node, path);
    const CommandNode *sub = find_sub(node, word);
    if (sub == nullptr)
        return usage_error(prefix + "unknown " + noun + " '" + std::string(word) + "'", path);
    const std::string sub_path = root ? std::string(word) : path + " " + std::string(word);
    return run_node(*sub, sub_path, argc - 1, argv + 1, reached);
}

}  // namespace

int dispatch(const CommandNode &root, int argc, char **argv, const Command *&reached)
{
    return run_node(root, "", argc, argv, reached);
}

}  // namespace psenv
