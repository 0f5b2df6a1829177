#include "run_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "psgacq.h"

namespace {

const char *name = "psg";
int element = 0;
int scan = 1;
int scans = 1;
bool muted = false;
bool rehearsal = false;

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

void set_current_scan(int current, int count)
{
    scan = current;
    scans = count;
}

int current_scan()
{
    return scan;
}

std::string location()
{
    std::string where = "element " + std::to_string(element);
    if (scans > 1)
        where += ", scan " + std::to_string(scan);
    return where;
}

void set_rehearsing(bool on)
{
    rehearsal = on;
}

bool rehearsing()
{
    return rehearsal;
}

void refuse(const std::string &message)
{
    psgacq_flush_scan();
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s: %s\n", name, location().c_str(), message.c_str());
    std::fflush(stderr);
    std::exit(rehearsal ? kExitRefused : 1);
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
