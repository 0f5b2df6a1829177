// Error sink stand-in: formats the whole message first so that a hook (or
// standard error) receives it as one piece, whatever its length.
#include "errsink.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {
werr_hook current_hook = nullptr;
void *hook_context = nullptr;
}  // namespace

extern "C" int Werrprintf(const char *format, ...)
{
    if (format == nullptr)
        return -1;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        return -1;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(static_cast<std::size_t>(length));
    if (text.empty() || text.back() != '\n')
        text.push_back('\n');
    if (current_hook != nullptr) {
        current_hook(text.c_str(), hook_context);
    } else {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
    return length;
}

extern "C" werr_hook Werrprintf_set_hook(werr_hook hook, void *context)
{
    werr_hook previous = current_hook;
    current_hook = hook;
    hook_context = context;
    return previous;
}
