#include "par/changes.h"

#include "par/text_forms.h"

namespace psenv::par {

std::vector<std::string> field_changes(const Param &a, const Param &b)
{
    std::vector<std::string> changes;
    auto add = [&changes](const char *field, const std::string &from, const std::string &to) {
        changes.push_back(std::string(field) + ": " + from + " -> " + to);
    };
    auto list = [](const ValueList &values) {
        return values.count() == 0 ? std::string("(none)") : list_text(values);
    };
    if (a.type != b.type)
        add("type", type_name(a.type), type_name(b.type));
    if (!(a.values == b.values))
        add("values", list(a.values), list(b.values));
    if (!(a.enumeration == b.enumeration))
        add("enumeration", list(a.enumeration), list(b.enumeration));
    if (!same_real(a.min, b.min))
        add("min", real_text(a.min), real_text(b.min));
    if (!same_real(a.max, b.max))
        add("max", real_text(a.max), real_text(b.max));
    if (!same_real(a.step, b.step))
        add("step", real_text(a.step), real_text(b.step));
    if (a.group != b.group)
        add("group", std::to_string(a.group), std::to_string(b.group));
    if (a.dgroup != b.dgroup)
        add("dgroup", std::to_string(a.dgroup), std::to_string(b.dgroup));
    if (a.subtype != b.subtype)
        add("subtype", std::to_string(a.subtype), std::to_string(b.subtype));
    if (a.active != b.active)
        add("active", std::to_string(a.active), std::to_string(b.active));
    if (a.prot != b.prot)
        add("prot", prot_text(a.prot), prot_text(b.prot));
    return changes;
}

std::vector<std::string> tree_changes(const std::vector<Param> &a, const std::vector<Param> &b)
{
    std::vector<std::string> lines;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() || j < b.size()) {
        const int order = i == a.size()   ? 1
                          : j == b.size() ? -1
                                          : a[i].name.compare(b[j].name);
        if (order < 0) {
            lines.push_back("- " + name_text(a[i++].name));
        } else if (order > 0) {
            lines.push_back("+ " + name_text(b[j++].name));
        } else {
            for (const std::string &change : field_changes(a[i], b[j]))
                lines.push_back("~ " + name_text(a[i].name) + " " + change);
            ++i;
            ++j;
        }
    }
    return lines;
}

}  // namespace psenv::par
