// Loading the experiment's parameter files into the store's trees.
#include "psgparam.h"

#include "treekeep.h"

extern "C" int psgparam_load(int tree, const char *path)
{
    int code = P_read(tree, path);
    if (code != P_OK)
        P_err(code, path, ": ");
    return code;
}
