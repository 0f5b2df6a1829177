#include "core/help.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

namespace psenv {
namespace {

struct Entry {
    std::string label;
    std::string_view text;
};

std::vector<std::string_view> lines_of(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return lines;
        text.remove_prefix(end + 1);
    }
}

// "  LABEL  text", the text's further lines under its first.
std::string entry_list(const std::vector<Entry> &entries, int column)
{
    std::size_t at = static_cast<std::size_t>(column);
    if (column <= 0) {
        std::size_t longest = 0;
        for (const Entry &entry : entries)
            longest = std::max(longest, entry.label.size());
        at = 2 + longest + 2;
    }
    std::string list;
    for (const Entry &entry : entries) {
        std::string line = "  " + entry.label;
        line.append(line.size() < at ? at - line.size() : 1, ' ');
        bool first = true;
        for (std::string_view text : lines_of(entry.text)) {
            if (!first)
                line.append(at, ' ');
            line.append(text);
            line.push_back('\n');
            first = false;
        }
        list += line;
    }
    if (!list.empty())
        list.pop_back();
    return list;
}

std::string label_of(const Option &option)
{
    if (!option.label.empty())
        return std::string(option.label);
    std::string label = "--" + std::string(option.name) + (option.numbered ? "J" : "");
    if (!option.value.empty())
        label += " " + std::string(option.value);
    return label;
}

std::vector<std::string_view> words_of(std::string_view text)
{
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        if (blank != 0)
            words.push_back(text.substr(0, blank));
        if (blank == std::string_view::npos)
            break;
        text.remove_prefix(blank + 1);
    }
    return words;
}

constexpr std::string_view kOptions = "{options";
constexpr std::string_view kCommands = "{commands}";

// The words of an "{options NAME...}" line, or nothing for another line.
std::optional<std::vector<std::string_view>> options_line(std::string_view line)
{
    if (line.substr(0, kOptions.size()) != kOptions || line.back() != '}')
        return std::nullopt;
    return words_of(line.substr(kOptions.size(), line.size() - kOptions.size() - 1));
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
        if (!text.empty())
            text.push_back('\n');
        if (line == kCommands) {
            std::vector<Entry> entries;
            for (const CommandNode &sub : node.subcommands)
                entries.push_back({std::string(sub.command->name), sub.command->summary});
            text += entry_list(entries, command.command_column);
        } else if (auto words = options_line(line)) {
            std::vector<Entry> entries;
            for (const Option &option : command.options) {
                const bool wanted = words->empty()
                                        ? !named.contains(option.name)
                                        : std::find(words->begin(), words->end(), option.name) !=
                                              words->end();
                if (wanted && !option.help.empty())
                    entries.push_back({label_of(option), option.help});
            }
            text += entry_list(entries, words->empty() ? command.option_column : 0);
        } else {
            text.append(line);
        }
    }
    return text;
}

void add_usage(std::string &text, std::string_view path, std::string_view form)
{
    std::string prefix = text.empty() ? "Usage: psenv" : "       psenv";
    if (!path.empty())
        prefix += " " + std::string(path);
    prefix.push_back(' ');
    bool first = true;
    for (std::string_view line : lines_of(form)) {
        text += first ? prefix : std::string(prefix.size(), ' ');
        text.append(line);
        text.push_back('\n');
        first = false;
    }
}

}  // namespace

std::string help_text(const CommandNode &node, std::string_view path)
{
    std::string text;
    const Command &command = *node.command;
    if (!command.usage.empty() || node.subcommands.empty()) {
        for (std::string_view form : command.usage)
            add_usage(text, path, form);
    } else {
        for (const CommandNode &sub : node.subcommands) {
            std::string sub_path = path.empty() ? "" : std::string(path) + " ";
            sub_path += sub.command->name;
            if (!sub.command->usage_in_group.empty())
                add_usage(text, sub_path, sub.command->usage_in_group);
            else
                for (std::string_view form : sub.command->usage)
                    add_usage(text, sub_path, form);
        }
    }
    return text + "\n" + filled_in(node) + "\n";
}

}  // namespace psenv
