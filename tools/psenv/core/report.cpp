#include "core/report.h"

#include <cstdio>

#include "errsink.h"
#include "treekeep.h"

namespace psenv {

void error(std::string_view text)
{
    std::string line = "psenv: ";
    line.append(text);
    if (line.back() != '\n')
        line.push_back('\n');
    std::fputs(line.c_str(), stderr);
}

int usage_error(std::string_view text, std::string_view command)
{
    error(text);
    std::string hint = "psenv: Try 'psenv ";
    if (!command.empty()) {
        hint.append(command);
        hint.push_back(' ');
    }
    hint.append("--help'.\n");
    std::fputs(hint.c_str(), stderr);
    return kExitUsage;
}

int bad_number(std::string_view what, std::string_view text, std::string_view kind,
               std::string_view command)
{
    return usage_error(std::string(what) + " '" + std::string(text) + "' is not " +
                           std::string(kind),
                       command);
}

namespace {
void collect(const char *text, void *context)
{
    static_cast<std::string *>(context)->append(text);
}
}  // namespace

std::string store_message(int code, std::string_view first, std::string_view second)
{
    std::string captured;
    werr_hook previous = Werrprintf_set_hook(collect, &captured);
    P_err(code, std::string(first).c_str(), std::string(second).c_str());
    Werrprintf_set_hook(previous, nullptr);
    while (!captured.empty() && captured.back() == '\n')
        captured.pop_back();
    return captured;
}

}  // namespace psenv
