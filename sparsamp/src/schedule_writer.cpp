// CSwriteSched: the schedule file, replaced whole or not at all.
#include <cerrno>
#include <new>

#include "cs_record.h"
#include "schedule_format.h"

using sparsamp::cs;

namespace {

int last_write_status = 0;

int write_rows(const std::string &path)
{
    int *columns[CS_MAX_DIMS] = {};
    const int count = sparsamp::made_columns(columns);
    try {
        sparsamp::ScheduleEntries entries;
        entries.columns.assign(columns, columns + count);
        entries.rows = cs.num;
        return sparsamp::write_schedule_file(path, entries);
    } catch (const std::bad_alloc &) {
        return ENOMEM;
    }
}

}  // namespace

extern "C" void CSwriteSched(const char *directory)
{
    const auto path = sparsamp::schedule_path(directory);
    last_write_status = path ? write_rows(*path) : (directory == nullptr ? EINVAL : ENAMETOOLONG);
}

extern "C" int CSwriteStatus(void)
{
    return last_write_status;
}
