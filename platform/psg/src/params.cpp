// The sequence's parameter reads: tree 1 first, tree 0 for what it lacks.
#include "psgparam.h"

#include <cstring>

#include "treekeep.h"

namespace {

constexpr int kCurrentTree = 1;
constexpr int kGlobalTree = 0;
constexpr int kTextBytes = 256;

} // namespace

extern "C" double getval(const char *name)
{
    return P_getval(name);
}

extern "C" int getstr(const char *name, char *buf)
{
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

extern "C" int psgparam_exists(const char *name)
{
    return rfindVar(name, getTreeRoot(getRoot(kCurrentTree))) != nullptr ||
           rfindVar(name, getTreeRoot(getRoot(kGlobalTree))) != nullptr;
}
