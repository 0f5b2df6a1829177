// csplan_write_schedule: row-major rows through the module's one writer.
#include "c_interface.h"
#include "schedule_format.h"

extern "C" int csplan_write_schedule(const char *path, const int *rows, int64_t count,
                                     int columns, int *error_out)
{
    if (error_out != nullptr)
        *error_out = 0;
    return psenv::plan::guarded([&] {
        if (path == nullptr || path[0] == '\0' || count < 0 || columns < 1 ||
            columns > CSPLAN_MAX_DIMS || (count > 0 && rows == nullptr))
            return CSPLAN_EINVAL;
        sparsamp::ScheduleEntries entries;
        for (int k = 0; k < columns; ++k)
            entries.columns.push_back(rows == nullptr ? nullptr : rows + k);
        entries.rows = count;
        entries.step = columns;
        const int failure = sparsamp::write_schedule_file(path, entries);
        if (failure == 0)
            return CSPLAN_OK;
        if (error_out != nullptr)
            *error_out = failure;
        return CSPLAN_EIO;
    });
}
