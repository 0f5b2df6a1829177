#include "array_list.h"

namespace psg {
namespace {

constexpr std::string_view kBlanks = " \t\n";

std::string_view trimmed(std::string_view text)
{
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool add_name(std::string_view raw, ArrayGroup &group, std::string &error)
{
    std::string_view name = trimmed(raw);
    if (name.empty()) {
        error = "an empty name";
        return false;
    }
    if (name.find_first_of("() \t\n") != std::string_view::npos) {
        error = "\"" + std::string(name) + "\" is not a parameter name";
        return false;
    }
    group.emplace_back(name);
    return true;
}

} // namespace

bool parse_array_list(std::string_view text, std::vector<ArrayGroup> &groups, std::string &error)
{
    groups.clear();
    std::string_view rest = trimmed(text);
    while (!rest.empty()) {
        ArrayGroup group;
        if (rest.front() == '(') {
            size_t close = rest.find(')');
            if (close == std::string_view::npos) {
                error = "a parenthesis is not closed";
                return false;
            }
            std::string_view inside = rest.substr(1, close - 1);
            if (inside.find('(') != std::string_view::npos) {
                error = "parentheses cannot be nested";
                return false;
            }
            while (true) {
                size_t comma = inside.find(',');
                if (!add_name(inside.substr(0, comma), group, error))
                    return false;
                if (comma == std::string_view::npos)
                    break;
                inside = inside.substr(comma + 1);
            }
            rest = trimmed(rest.substr(close + 1));
            if (!rest.empty() && rest.front() != ',') {
                error = "a comma must follow a closing parenthesis";
                return false;
            }
        } else {
            size_t comma = rest.find(',');
            if (!add_name(rest.substr(0, comma), group, error))
                return false;
            rest = rest.substr(comma == std::string_view::npos ? rest.size() : comma);
        }
        groups.push_back(std::move(group));
        if (!rest.empty()) { // at a comma: a name or group must follow it
            rest = trimmed(rest.substr(1));
            if (rest.empty()) {
                error = "an empty name";
                return false;
            }
        }
    }
    return true;
}

} // namespace psg
