// psenv's strict schedule check on arbitrary file contents.
//
// The check must agree with the module's reader on what it reads: a file the
// check calls readable is read by CSreadSched with the check's column count
// and holds the check's number of rows; a file it calls unreadable is not.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "schedule_check.h"
#include "sparsamp.h"
#include "vartree.h"

namespace {

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

void set_real(const std::string &name, double value)
{
    varInfo *v = RcreateVar(name.c_str(), getTreeRootByIndex(1), T_REAL);
    fuzz::check(v != nullptr && assignReal(value, v, 0) == 1, "cannot set a parameter");
}

// A file-type configuration of `dims` dimensions, no schedule held.
void configure(int dims)
{
    tossVars(getTreeRootByIndex(1));
    for (int j = 1; j <= dims; ++j) {
        const std::string suffix = j == 1 ? "" : std::to_string(j);
        set_real("ni" + suffix, 4);
        set_real("CSdensity" + suffix, 50);
    }
    varInfo *type = RcreateVar("CStype", getTreeRootByIndex(1), T_STRING);
    fuzz::check(type != nullptr && assignString("i", type, 0) == 1, "cannot set CStype");
    fuzz::check(CSinit(0, nullptr) == 0, "CSinit refused the configuration");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string input = fuzz::scratch("check.sch");
    fuzz::write_file(input, data, size);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(input.c_str(), "r"));
    fuzz::check(file != nullptr, "cannot open the scratch file");
    const psenv::plan::CheckReport report = psenv::plan::check_schedule(file.get(), {4, 4});
    file.reset();

    configure(report.readable ? report.columns : 1);
    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", input.c_str());
    const int status = CSreadSched("/nonexistent-directory");
    if (!report.readable) {
        fuzz::check(status == CS_READ_NODATA, "the check calls a readable file unreadable");
        fuzz::check(!report.findings.empty(), "an unreadable file without a finding");
        return 0;
    }
    fuzz::check(status == CS_READ_OK, "the module does not read a file the check reads");
    fuzz::check(getCSnum() == report.rows, "the check counts other rows than the module");
    return 0;
}
