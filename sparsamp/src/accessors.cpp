// CSgetSched and the accessors through which callers read the schedule.
#include <cstdio>
#include <cstring>

#include "cs_record.h"

using sparsamp::cs;

namespace {

bool valid_dimension(int k)
{
    return k >= 0 && k < cs.xdim && k < CS_MAX_DIMS;
}

}  // namespace

extern "C" int CSgetSched(const char *directory)
{
    if (cs.type == CS_TYPE_GENERATED) {
        CSmakeSched();
        CSwriteSched(directory);
        return 0;
    }
    return CSreadSched(directory);
}

extern "C" int getCSdimension(void)
{
    return cs.xdim;
}

extern "C" int getCSnum(void)
{
    return cs.num;
}

extern "C" const char *getCSpar(int k)
{
    // A fresh terminator each time: a caller that wrote into an earlier
    // result must not see its text again.
    static char empty[1];
    if (!valid_dimension(k)) {
        empty[0] = '\0';
        return empty;
    }
    return cs.par[k];
}

extern "C" int getCSparIndex(const char *name)
{
    if (name == nullptr)
        return -1;
    for (int k = 0; k < cs.xdim && k < CS_MAX_DIMS; ++k)
        if (std::strcmp(cs.par[k], name) == 0)
            return k;
    return -1;
}

extern "C" char *getCSname(void)
{
    return cs.name;
}

extern "C" int CStypeIndexed(void)
{
    return cs.type != CS_TYPE_FILE_D ? 1 : 0;
}

extern "C" double getCSval(int k, int i)
{
    if (!valid_dimension(k) || i < 0 || i >= cs.num || cs.sched[k] == nullptr)
        return 0.0;
    return static_cast<double>(cs.sched[k][i]);
}

extern "C" void CSprint(const char *title)
{
    std::fprintf(stderr, "%s\n", title != nullptr ? title : "");
    std::fprintf(stderr, "CS name:    %s\n", cs.name);
    std::fprintf(stderr, "CS seed:    %d\n", cs.seed);
    std::fprintf(stderr, "CS rand:    %d\n", cs.rand);
    std::fprintf(stderr, "CS total:   %d\n", cs.total);
    std::fprintf(stderr, "CS num:     %d\n", cs.num);
    std::fprintf(stderr, "CS xdim:    %d\n", cs.xdim);
    for (int k = 0; k < cs.xdim && k < CS_MAX_DIMS; ++k)
        std::fprintf(stderr, "CS[%d] par:%s dim:%d density:%g sdim:%d \n", k, cs.par[k],
                     cs.dim[k], cs.density[k], cs.sdim[k]);
}

extern "C" void CSgetInfo(CSinfo *info)
{
    if (info == nullptr)
        return;
    std::memset(info, 0, sizeof *info);
    info->xdim = cs.xdim;
    for (int k = 0; k < cs.xdim && k < CS_MAX_DIMS; ++k) {
        info->dim[k] = cs.dim[k];
        info->sdim[k] = cs.sdim[k];
        info->density[k] = cs.density[k];
        std::memcpy(info->par[k], cs.par[k], sizeof info->par[k]);
    }
    info->seed = cs.seed;
    info->rand = cs.rand;
    info->type = cs.type;
    info->num = cs.num;
    info->total = cs.total;
    info->readStatus = cs.readStatus;
    std::memcpy(info->name, cs.name, sizeof info->name);
}
