// CSreadSched on arbitrary file contents.
//
// The first input byte chooses the number of sparse dimensions (1..10), the
// rest is the schedule file.  A schedule that was read must survive a write
// and a second read unchanged.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "sparsamp.h"
#include "vartree.h"

namespace {

int configured_dims = 0;

void set_real(const std::string &name, double value)
{
    varInfo *v = RcreateVar(name.c_str(), getTreeRootByIndex(1), T_REAL);
    fuzz::check(v != nullptr && assignReal(value, v, 0) == 1, "cannot set a parameter");
}

// A file-type configuration of `dims` dimensions with no schedule held.
void configure(int dims)
{
    if (dims != configured_dims) {
        tossVars(getTreeRootByIndex(1));
        for (int j = 1; j <= dims; ++j) {
            const std::string suffix = j == 1 ? "" : std::to_string(j);
            set_real("ni" + suffix, 4);
            set_real("CSdensity" + suffix, 50);
        }
        varInfo *type = RcreateVar("CStype", getTreeRootByIndex(1), T_STRING);
        fuzz::check(type != nullptr && assignString("i", type, 0) == 1, "cannot set CStype");
        configured_dims = dims;
    }
    fuzz::check(CSinit(0, nullptr) == 0, "CSinit refused the configuration");
    fuzz::check(getCSdimension() == dims, "unexpected dimension count");
}

std::vector<int> held_rows()
{
    std::vector<int> rows;
    for (int i = 0; i < getCSnum(); ++i)
        for (int k = 0; k < getCSdimension(); ++k)
            rows.push_back(static_cast<int>(getCSval(k, i)));
    return rows;
}

int read_from(const std::string &path)
{
    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", path.c_str());
    return CSreadSched("/nonexistent-directory");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int dims = 1 + data[0] % CS_MAX_DIMS;
    configure(dims);

    static const std::string input = fuzz::scratch("input.sch");
    static const std::string copy = fuzz::scratch("copy.sch");
    fuzz::write_file(input, data + 1, size - 1);

    const int configured_num = getCSnum();
    const int status = read_from(input);
    fuzz::check(status == CS_READ_OK || status == CS_READ_NODATA || status == CS_READ_COLUMNS,
                "unexpected result of CSreadSched");
    if (status != CS_READ_OK) {
        fuzz::check(getCSnum() == configured_num, "a failed read changed the row count");
        return 0;
    }
    fuzz::check(getCSnum() >= 1, "a schedule was read without rows");
    const std::vector<int> rows = held_rows();

    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", copy.c_str());
    CSwriteSched("/nonexistent-directory");
    fuzz::check(read_from(copy) == CS_READ_OK, "a written schedule cannot be read back");
    fuzz::check(held_rows() == rows, "a written schedule reads back differently");
    return 0;
}
