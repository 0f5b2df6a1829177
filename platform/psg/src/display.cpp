// Display calls of the draw modes: every record goes to standard output.
#include "psg.h"

#include <cstdarg>
#include <cstdio>

#include "run_state.h"

extern "C" void DPStimer(int code, int zero1, int zero2, int count, ...)
{
    (void)zero1;
    (void)zero2;
    if (psg::display_muted())
        return;
    std::printf("%d %d", code, count);
    if (count > 0) {
        va_list args;
        va_start(args, count);
        for (int skipped = 0; skipped < 4; ++skipped)
            (void)va_arg(args, int);
        for (int i = 0; i < count; ++i)
            std::printf(" %.9g", va_arg(args, double));
        va_end(args);
    }
    std::putchar('\n');
}

extern "C" void DPSprint(double time, const char *format, ...)
{
    (void)time;
    if (format == nullptr || psg::display_muted())
        return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

extern "C" void dps_wavl_xmtron(const char *name, int n, wavl_shape *record, const char *label)
{
    if (psg::display_muted())
        return;
    std::printf("%s %d %s", name != nullptr ? name : "", n, label != nullptr ? label : "");
    if (record != nullptr)
        std::printf(" %s %s", record->name, record->pattern);
    std::putchar('\n');
}

extern "C" void dps_wavl_xmtroff(const char *name, int n)
{
    if (psg::display_muted())
        return;
    std::printf("%s %d\n", name != nullptr ? name : "", n);
}
