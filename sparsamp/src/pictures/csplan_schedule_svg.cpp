// csplan_schedule_svg: the picture of a schedule's rows.
#include <cstddef>
#include <cstdint>

#include "c_interface.h"
#include "picture_text.h"
#include "schedule_picture.h"
#include "sparsamp_pictures.h"

namespace {

bool valid_arguments(const int *rows, int64_t count, int columns, const int *ni, int a, int b,
                     int outside)
{
    if (rows == nullptr || count < 1 || columns < 1 || columns > CSPLAN_MAX_DIMS ||
        count > INT64_MAX / columns)
        return false;
    if (outside != CSPLAN_OUTSIDE_REFUSED && outside != CSPLAN_OUTSIDE_DRAWN)
        return false;
    if (columns > 1 && (a < 0 || a >= columns || b < 0 || b >= columns || a == b))
        return false;
    if (ni != nullptr)
        for (int k = 0; k < columns; ++k)
            if (ni[k] < 1)
                return false;
    return true;
}

// Every entry in 0 .. ni[k]-1, or 0 or above without a grid.
bool inside(const int *rows, int64_t count, int columns, const int *ni)
{
    for (int64_t i = 0; i < count; ++i)
        for (int k = 0; k < columns; ++k) {
            const int c = rows[i * columns + k];
            if (c < 0 || (ni != nullptr && c >= ni[k]))
                return false;
        }
    return true;
}

}  // namespace

extern "C" int csplan_schedule_svg(const int *rows, int64_t count, int columns, const int *ni,
                                   int a, int b, const char *title, int outside, char **svg)
{
    if (svg == nullptr)
        return CSPLAN_EINVAL;
    *svg = nullptr;
    return psenv::plan::guarded([&] {
        if (!valid_arguments(rows, count, columns, ni, a, b, outside))
            return CSPLAN_EINVAL;
        if (outside == CSPLAN_OUTSIDE_REFUSED && !inside(rows, count, columns, ni))
            return CSPLAN_EOUTSIDE;
        psenv::plan::SchedulePicture schedule;
        schedule.columns.assign(static_cast<std::size_t>(columns),
                                std::vector<int>(static_cast<std::size_t>(count)));
        for (int64_t i = 0; i < count; ++i)
            for (int k = 0; k < columns; ++k)
                schedule.columns[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)] =
                    rows[i * columns + k];
        if (ni != nullptr)
            schedule.ni.assign(ni, ni + columns);
        if (title != nullptr)
            schedule.title = title;
        return psenv::plan::give_text(
            psenv::plan::schedule_picture(schedule, columns > 1 ? a : 0, columns > 1 ? b : 1), svg);
    });
}
