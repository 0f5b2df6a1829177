#include "core/args.h"

#include "core/report.h"

namespace psenv {

bool Args::has(std::string_view name) const
{
    for (const auto &[key, value] : options)
        if (key == name)
            return true;
    return false;
}

std::optional<std::string> Args::get(std::string_view name) const
{
    std::optional<std::string> found;
    for (const auto &[key, value] : options)
        if (key == name)
            found = value;  // the last one wins
    return found;
}

std::vector<std::string> Args::all(std::string_view name) const
{
    std::vector<std::string> values;
    for (const auto &[key, value] : options)
        if (key == name)
            values.push_back(value);
    return values;
}

namespace {

constexpr Option kHelp{"help"};

bool names(const Option &option, std::string_view word)
{
    if (word == option.name)
        return true;
    if (!option.numbered || word.substr(0, option.name.size()) != option.name)
        return false;
    const std::string_view suffix = word.substr(option.name.size());
    for (int j = 2; j <= kMostNumbered; ++j)
        if (suffix == std::to_string(j))
            return true;
    return false;
}

const Option *find_option(std::span<const Option> options, std::string_view word)
{
    if (names(kHelp, word))
        return &kHelp;
    for (const Option &option : options)
        if (names(option, word))
            return &option;
    return nullptr;
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
        const Option *match = find_option(options, body);
        if (match == nullptr)
            return usage_error("unknown option '--" + std::string(body) + "'", command);
        std::string value;
        if (!match->value.empty()) {
            if (inline_value)
                value = *inline_value;
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return usage_error("option '--" + std::string(body) + "' needs a value", command);
        } else if (inline_value) {
            return usage_error("option '--" + std::string(body) + "' takes no value", command);
        }
        args.options.emplace_back(std::string(body), value);
    }
    return kExitOk;
}

}  // namespace psenv
