#include "run_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *name = "psg";
int element = 0;
bool muted = false;

} // namespace

namespace psg {

void set_program_name(const char *path)
{
    if (path == nullptr || *path == '\0')
        return;
    const char *slash = std::strrchr(path, '/');
    name = slash != nullptr ? slash + 1 : path;
}

const char *program_name()
{
    return name;
}

void set_current_element(int current)
{
    element = current;
}

int current_element()
{
    return element;
}

void set_display_muted(bool on)
{
    muted = on;
}

bool display_muted()
{
    return muted;
}

void note_missing_rendition(const char *function)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s: no display rendition: the sequence defines no %s()\n", name,
                 function);
    std::exit(1);
}

} // namespace psg
