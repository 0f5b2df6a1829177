#include "core/command.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace psenv {

bool Args::has(std::string_view name) const
{
    return get(name).has_value();
}

std::optional<std::string> Args::get(std::string_view name) const
{
    std::optional<std::string> found;
    for (const auto &[key, value] : options)
        if (key == name)
            found = value;
    return found;
}

namespace {

constexpr Option kHelp{"help"};

bool names(const Option &option, std::string_view word)
{
    if (option.numbered != Numbered::kFromOne && word == option.name)
        return true;
    if (option.numbered == Numbered::kNo || word.substr(0, option.name.size()) != option.name)
        return false;
    const std::string_view suffix = word.substr(option.name.size());
    for (int j = option.numbered == Numbered::kFromOne ? 1 : 2; j <= 10; ++j)
        if (suffix == std::to_string(j))
            return true;
    return false;
}

}  // namespace

int parse_args(int argc, char **argv, int first, std::span<const Option> options,
               std::string_view command, Args &args)
{
    bool operands_only = false;
    for (int i = first; i < argc; ++i) {
        std::string_view word = argv[i];
        if (operands_only || word.size() < 2 || word.substr(0, 2) != "--") {
            args.operands.emplace_back(word);
            continue;
        }
        if (word == "--") {
            operands_only = true;
            continue;
        }
        std::string_view body = word.substr(2);
        std::optional<std::string_view> inline_value;
        if (auto eq = body.find('='); eq != std::string_view::npos) {
            inline_value = body.substr(eq + 1);
            body = body.substr(0, eq);
        }
        const auto found = std::find_if(options.begin(), options.end(),
                                        [body](const Option &o) { return names(o, body); });
        const Option *match = names(kHelp, body) ? &kHelp
                              : found != options.end() ? &*found
                                                        : nullptr;
        const std::string shown = "'--" + std::string(body) + "'";
        if (match == nullptr)
            return usage_error("unknown option " + shown, command);
        std::string value;
        if (!match->value.empty()) {
            if (inline_value)
                value = *inline_value;
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return usage_error("option " + shown + " needs a value", command);
        } else if (inline_value) {
            return usage_error("option " + shown + " takes no value", command);
        }
        args.options.emplace_back(std::string(body), value);
    }
    return kExitOk;
}

namespace {

std::vector<std::string_view> lines_of(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;
         text.remove_prefix(end + 1))
        lines.push_back(text.substr(0, end));
    lines.push_back(text);
    return lines;
}

// "  LABEL  text" a line, the text's further lines under its first; the
// texts start at `column` (two blanks after a label that reaches it), or
// two blanks after the longest label.
using Entry = std::pair<std::string, std::string_view>;
std::string entry_list(const std::vector<Entry> &entries, int column)
{
    std::size_t at = column > 0 ? static_cast<std::size_t>(column) : 0;
    if (column <= 0)
        for (const auto &[label, text] : entries)
            at = std::max(at, 2 + label.size() + 2);
    std::string list;
    for (const auto &[label, text] : entries) {
        std::string line = "  " + label;
        line.append(line.size() < at ? at - line.size() : 2, ' ');
        for (std::string_view part : lines_of(text)) {
            list += line;
            list.append(part).push_back('\n');
            line.assign(at, ' ');
        }
    }
    if (!list.empty())
        list.pop_back();
    return list;
}

std::string label_of(const Option &option)
{
    if (!option.label.empty())
        return std::string(option.label);
    std::string label =
        "--" + std::string(option.name) + (option.numbered != Numbered::kNo ? "J" : "");
    if (!option.value.empty())
        label += " " + std::string(option.value);
    return label;
}

// The names of an "{options NAME...}" line, or nothing for another line.
std::optional<std::set<std::string_view>> options_line(std::string_view line)
{
    constexpr std::string_view kOpen = "{options";
    if (!line.starts_with(kOpen) || !line.ends_with('}'))
        return std::nullopt;
    std::set<std::string_view> words;
    std::string_view rest = line.substr(kOpen.size(), line.size() - kOpen.size() - 1);
    for (std::size_t blank; !rest.empty(); rest.remove_prefix(blank + 1)) {
        blank = rest.find(' ');
        if (blank != 0)
            words.insert(rest.substr(0, blank));
        if (blank == std::string_view::npos)
            break;
    }
    return words;
}

std::string filled_in(const CommandNode &node)
{
    const Command &command = *node.command;
    const std::vector<std::string_view> lines = lines_of(command.help);
    std::set<std::string_view> named;
    for (std::string_view line : lines)
        if (auto words = options_line(line))
            named.insert(words->begin(), words->end());
    std::string text;
    for (std::string_view line : lines) {
        std::vector<Entry> entries;
        if (line == "{commands}") {
            for (const CommandNode &sub : node.subcommands)
                entries.emplace_back(sub.command->name, sub.command->summary);
            text += entry_list(entries, command.command_column);
        } else if (auto words = options_line(line)) {
            for (const Option &option : command.options)
                if (!option.help.empty() &&
                    (words->empty() ? !named.contains(option.name) : words->contains(option.name)))
                    entries.emplace_back(label_of(option), option.help);
            text += entry_list(entries, words->empty() ? command.option_column : 0);
        } else {
            text += line;
        }
        text.push_back('\n');
    }
    return text;
}

void add_usage(std::string &text, std::string_view path, std::string_view usage)
{
    std::string prefix = "psenv";
    if (!path.empty())
        prefix.append(" ").append(path);
    prefix.push_back(' ');
    bool first = true;
    for (std::string_view line : lines_of(usage)) {
        if (line.starts_with(' ') && !first)
            text.append(line);
        else
            text.append(text.empty() ? "Usage: " : "       ").append(prefix).append(line);
        text.push_back('\n');
        first = false;
    }
}

}  // namespace

std::string help_text(const CommandNode &node, std::string_view path)
{
    std::string text;
    const Command &command = *node.command;
    if (!command.usage.empty()) {
        add_usage(text, path, command.usage);
    } else {
        for (const CommandNode &sub : node.subcommands) {
            const std::string sub_path =
                (path.empty() ? "" : std::string(path) + " ") + std::string(sub.command->name);
            add_usage(text, sub_path,
                      sub.command->usage_in_group.empty() ? sub.command->usage
                                                          : sub.command->usage_in_group);
        }
    }
    return text + "\n" + filled_in(node);
}

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

// A group whose operation may follow its options: the whole command line is
// read against the group's options, and the first operand names the
// operation.
int run_operation(const CommandNode &group, const std::string &path, int argc, char **argv,
                  const Command *&reached)
{
    Args args;
    if (const int status = parse_args(argc, argv, 1, group.command->options, path, args);
        status != kExitOk)
        return status;
    if (args.has("help"))
        return print_help(group, path);
    const std::string prefix = std::string(group.command->name) + ": ";
    if (args.operands.empty()) {
        std::string choices;
        for (const CommandNode &sub : group.subcommands)
            choices += (choices.empty()                    ? ""
                        : &sub == &group.subcommands.back() ? " or "
                                                            : ", ") +
                       std::string(sub.command->name);
        return usage_error(prefix + "missing operation (" + choices + ")", path);
    }
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
        return args.has("help") ? print_help(node, path) : command.run(Call{args, path});
    }
    if (command.operation_among_operands)
        return run_operation(node, path, argc, argv, reached);
    // "missing command", "par: missing subcommand"
    const bool root = path.empty();
    const std::string noun = root ? "command" : "subcommand";
    const std::string prefix = root ? "" : std::string(command.name) + ": ";
    if (argc < 2)
        return usage_error(prefix + "missing " + noun, path);
    const std::string_view word = argv[1];
    if (word == "--help" || word == "-h" || (root && word == "help"))
        return print_help(node, path);
    const CommandNode *sub = find_sub(node, word);
    if (sub == nullptr)
        return usage_error(prefix + "unknown " + noun + " '" + std::string(word) + "'", path);
    return run_node(*sub, root ? std::string(word) : path + " " + std::string(word), argc - 1,
                    argv + 1, reached);
}

}  // namespace

int dispatch(const CommandNode &root, int argc, char **argv, const Command *&reached)
{
    return run_node(root, "", argc, argv, reached);
}

}  // namespace psenv
