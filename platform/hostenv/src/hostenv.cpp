// Process globals of the environment and its abort handler.
#include "hostenv.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" {
int bgflag = 0;
char systemdir[1024] = "";
}

namespace {
abort_hook current_hook = nullptr;
void *hook_context = nullptr;
}  // namespace

extern "C" void abort_message(const char *format, ...)
{
    std::string text;
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        va_list again;
        va_copy(again, args);
        int length = std::vsnprintf(nullptr, 0, format, args);
        va_end(args);
        if (length > 0) {
            text.assign(static_cast<std::size_t>(length) + 1, '\0');
            std::vsnprintf(text.data(), text.size(), format, again);
            text.resize(static_cast<std::size_t>(length));
        }
        va_end(again);
    }
    if (current_hook != nullptr) {
        current_hook(text.c_str(), hook_context);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    std::exit(1);
}

extern "C" abort_hook abort_message_set_hook(abort_hook hook, void *context)
{
    abort_hook previous = current_hook;
    current_hook = hook;
    hook_context = context;
    return previous;
}
