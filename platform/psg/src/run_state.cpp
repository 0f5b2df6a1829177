#include "run_state.h"

#include <cstring>

namespace {

const char *name = "psg";
int element = 0;

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

} // namespace psg
