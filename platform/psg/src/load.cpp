// Loading the experiment's parameter files into the store's trees.
#include "psgparam.h"

#include "errsink.h"
#include "treekeep.h"

extern "C" int psgparam_load(int tree, const char *path)
{
    int code = P_read(tree, path);
    if (code != P_OK)
        P_err(code, path, ": ");
    return code;
}

extern "C" void psgparam_set_reporter(psgparam_reporter reporter, void *context)
{
    Werrprintf_set_hook(reporter, context);
}
