#include "core/report.h"

#include <cstdio>

#include "errsink.h"
#include "treekeep.h"

namespace psenv {

namespace {
thread_local ErrorCapture *capture = nullptr;
}  // namespace

ErrorCapture::ErrorCapture() : outer_(capture)
{
    capture = this;
}

ErrorCapture::~ErrorCapture()
{
    capture = outer_;
}

void ErrorCapture::keep(std::string_view text)
{
    while (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    messages_.emplace_back(text);
}

std::string ErrorCapture::text() const
{
    std::string joined;
    for (const std::string &message : messages_) {
        if (!joined.empty())
            joined += '\n';
        joined += message;
    }
    return joined;
}

void error(std::string_view text)
{
    if (capture != nullptr) {
        capture->keep(text);
        return;
    }
    std::string line = "psenv: ";
    line.append(text);
    if (line.back() != '\n')
        line.push_back('\n');
    std::fputs(line.c_str(), stderr);
}

int usage_error(std::string_view text, std::string_view command)
{
    error(text);
    if (capture != nullptr)
        return kExitUsage;
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
