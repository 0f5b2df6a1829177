// The sequence's parameter reads: tree 1 first, tree 0 for what it lacks.
#include "psgparam.h"

#include <cstring>
#include <set>
#include <string>

#include "errsink.h"
#include "missing_reads.h"
#include "treekeep.h"

namespace {

constexpr int kCurrentTree = VARTREE_CURRENT;
constexpr int kGlobalTree = VARTREE_GLOBAL;
constexpr int kTextBytes = 256;

bool warn_missing = false;
std::set<std::string> reported;

// A read gives 0 or "" for a name that exists nowhere; a sequence that reads
// a misspelt name would run on that silently, so say so once.
void note_read(const char *name, const char *read_as)
{
    if (!warn_missing || name == nullptr || psgparam_exists(name))
        return;
    if (reported.insert(name).second)
        Werrprintf("warning: parameter \"%s\" does not exist; it reads as %s", name, read_as);
}

} // namespace

namespace psg {

void forget_missing_reads()
{
    reported.clear();
}

} // namespace psg

extern "C" double getval(const char *name)
{
    note_read(name, "0");
    return P_getval(name);
}

extern "C" int getstr(const char *name, char *buf)
{
    note_read(name, "an empty text");
    if (buf == nullptr)
        return -1;
    int code = P_getstring(kCurrentTree, name, buf, 1, kTextBytes);
    if (code == P_NOVAR)
        code = P_getstring(kGlobalTree, name, buf, 1, kTextBytes);
    if (code == P_OK)
        return 0;
    std::memset(buf, 0, kTextBytes);
    return -1;
}

extern "C" void psgparam_warn_missing(int on)
{
    warn_missing = on != 0;
}

extern "C" int psgparam_exists(const char *name)
{
    return rfindVar(name, getTreeRoot(getRoot(kCurrentTree))) != nullptr ||
           rfindVar(name, getTreeRoot(getRoot(kGlobalTree))) != nullptr;
}
