#include "par/text_forms.h"

#include <cstdio>

#include "treekeep.h"
#include "treekeep_files.h"
#include "treekeep_values.h"

namespace psenv::par {

std::string real_text(double value)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.12g", value);
    return buffer;
}

std::string quoted(std::string_view text)
{
    std::string out(P_quoted(text.data(), text.size(), nullptr, 0), '\0');
    P_quoted(text.data(), text.size(), out.data(), out.size() + 1);
    return out;
}

std::string name_text(std::string_view name)
{
    std::string text(P_printable(name.data(), name.size(), nullptr, 0), '\0');
    P_printable(name.data(), name.size(), text.data(), text.size() + 1);
    return text;
}

std::string store_words(int code, std::string_view name, std::string_view detail)
{
    const std::string whole(name);
    const std::string note(detail);
    std::string words(P_refusaltext(code, whole.c_str(), note.c_str(), nullptr, 0), '\0');
    P_refusaltext(code, whole.c_str(), note.c_str(), words.data(), words.size() + 1);
    return words;
}

std::string type_name(int type)
{
    switch (type) {
    case 1:
        return "real";
    case 2:
        return "string";
    default:
        return "type " + std::to_string(type);
    }
}

std::string list_text(const ValueList &list, std::size_t limit, std::size_t width)
{
    const std::size_t count = list.count();
    const bool shortened = limit != 0 && count > limit;
    const std::size_t shown = shortened ? limit - 1 : count;
    std::string out;
    for (std::size_t i = 0; i < shown; ++i) {
        if (i != 0)
            out += ' ';
        if (list.type != 2) {
            out += real_text(list.reals[i]);
        } else if (width != 0 && list.texts[i].size() > width) {
            out += quoted(std::string_view(list.texts[i]).substr(0, width)) + "...";
        } else {
            out += quoted(list.texts[i]);
        }
    }
    if (shortened)
        out += " ... (" + std::to_string(count) + " values)";
    return out;
}

namespace {

// A position in parmin/parmax the way the store reads it: trunc(x + 0.1).
std::string position_text(double x)
{
    const double position = x + 0.1;
    if (!(position > -1e15 && position < 1e15))
        return real_text(x);
    return std::to_string(static_cast<long long>(position));
}

}  // namespace

std::string limits_text(const Param &param)
{
    std::string out;
    if (param.prot & P_PROT_LIMITS_INDIRECT) {
        out = "parmin[" + position_text(param.min) + "]..parmax[" + position_text(param.max) + "]";
    } else if (param.min == 0.0 && param.max == 0.0 && param.step == 0.0) {
        return "-";
    } else {
        out = real_text(param.min) + ".." + real_text(param.max);
    }
    if (param.step != 0.0)
        out += " step " + real_text(param.step);
    return out;
}

std::string prot_text(int prot)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04x", static_cast<unsigned>(prot));
    return buffer;
}

}  // namespace psenv::par
