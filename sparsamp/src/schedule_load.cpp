// CSreadSchedFile: a schedule file of unknown column count through the
// module's own reader.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "psenv_util/unreadable.h"
#include "sparsamp.h"
#include "treekeep.h"
#include "vartree.h"

namespace {

constexpr int kTree = VARTREE_CURRENT;  // where CSinit() finds its configuration

// A file-type configuration of `dims` dimensions, so that the module reads
// the file with that many columns.
void configure_reader(int dims)
{
    SymbolNode **root = getTreeRootByIndex(kTree);
    tossVars(root);
    assignString("i", RcreateVar("CStype", root, T_STRING), 0);
    for (int j = 1; j <= dims; ++j) {
        const std::string suffix = j == 1 ? "" : std::to_string(j);
        assignReal(2.0, RcreateVar(("ni" + suffix).c_str(), root, T_REAL), 0);
        assignReal(100.0, RcreateVar(("CSdensity" + suffix).c_str(), root, T_REAL), 0);
    }
}

int refuse(int code, const std::string &why, char *detail, size_t detail_size)
{
    if (detail != nullptr && detail_size > 0)
        std::snprintf(detail, detail_size, "%s", why.c_str());
    return code;
}

}  // namespace

extern "C" int CSreadSchedFile(const char *path, int *columns, int *error_out, char *detail,
                               size_t detail_size)
{
    if (error_out != nullptr)
        *error_out = 0;
    refuse(CS_READ_OK, "", detail, detail_size);
    if (path == nullptr || columns == nullptr)
        return refuse(CS_READ_NOFILE, "no schedule file named", detail, detail_size);
    try {
        const std::string name = path;
        const bool absolute = !name.empty() && name[0] == '/';
        if (name.size() + (absolute ? 0 : 2) > 255 || name.size() >= CS_NAME_SIZE)
            return refuse(CS_READ_NOFILE,
                          "schedule file name '" + name + "' is too long (255 characters at most)",
                          detail, detail_size);
        if (const int reason = psenv::util::unreadable(path); reason != 0) {
            if (error_out != nullptr)
                *error_out = reason;
            return refuse(CS_READ_NOFILE,
                          "cannot open schedule file '" + name + "': " + std::strerror(reason),
                          detail, detail_size);
        }
        // The module knows no file without knowing its column count: try each.
        int status = CS_READ_COLUMNS;
        int dims = 0;
        while (status == CS_READ_COLUMNS && dims < CS_MAX_DIMS) {
            configure_reader(++dims);
            CSinit(0, nullptr);
            std::snprintf(getCSname(), CS_NAME_SIZE, "%s", path);
            status = CSreadSched(".");
        }
        tossVars(getTreeRootByIndex(kTree));
        switch (status) {
        case CS_READ_OK:
            *columns = dims;
            return CS_READ_OK;
        case CS_READ_NOFILE:
            return refuse(status, "cannot open schedule file '" + name + "'", detail, detail_size);
        case CS_READ_NODATA:
            return refuse(status, "schedule file '" + name + "' has no data row", detail,
                          detail_size);
        default:
            return refuse(status,
                          "schedule file '" + name + "': its first row holds more than " +
                              std::to_string(CS_MAX_DIMS) + " integers",
                          detail, detail_size);
        }
    } catch (...) {
        // Only the strings allocate: memory ran out.
        return refuse(CS_READ_NOFILE, "memory ran out", detail, detail_size);
    }
}
