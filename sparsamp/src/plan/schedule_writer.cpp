#include "schedule_writer.h"

#include <cstring>

#include "schedule_format.h"

namespace psenv::plan {
namespace {

sparsamp::ScheduleEntries entries_of(const Columns &columns)
{
    sparsamp::ScheduleEntries entries;
    for (const auto &column : columns)
        entries.columns.push_back(column.data());
    entries.rows = columns.empty() ? 0 : static_cast<std::int64_t>(columns.front().size());
    return entries;
}

}  // namespace

std::string schedule_text(const Columns &columns)
{
    const sparsamp::ScheduleEntries entries = entries_of(columns);
    std::string text;
    sparsamp::append_schedule_rows(text, entries, 0, entries.rows);
    return text;
}

bool write_schedule_file(const std::string &path, const Columns &columns, std::string &reason)
{
    if (const int failure = sparsamp::write_schedule_file(path, entries_of(columns)); failure != 0) {
        reason = "cannot write '" + path + "': " + std::strerror(failure);
        return false;
    }
    return true;
}

}  // namespace psenv::plan
