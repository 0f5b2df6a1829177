// Loading the experiment's parameter files into the store's trees.
#include "psgparam.h"

#include "treekeep.h"

extern "C" int psgparam_load(int tree, const char *path)
{
#ifdef PSG_STORE_CAN_LOAD
    int code = P_read(tree, path);
#else
    (void)tree;
    int code = P_NOFILE; // this build's store cannot load files yet
#endif
    if (code != P_OK)
        P_err(code, path, ": ");
    return code;
}
