// What the csplan_* functions share: the checked conversion of a caller's
// grid, the copy of a reason into a caller's buffer, and the guard that
// keeps exceptions inside.
#ifndef PSENV_PLAN_C_INTERFACE_H
#define PSENV_PLAN_C_INTERFACE_H

#include <cstddef>
#include <new>
#include <optional>
#include <string_view>
#include <type_traits>

#include "plan_grid.h"
#include "sparsamp_plan.h"

namespace psenv::plan {

// The grid `grid` describes, or nothing when it is NULL, has no or more
// than CSPLAN_MAX_DIMS dimensions, or an increment count below 1.
std::optional<Grid> grid_of(const csplan_grid *grid);

// Copies `text` into `detail` (`size` bytes, may be NULL), cut to fit and
// terminated.
void copy_detail(std::string_view text, char *detail, std::size_t size);

// Runs `work` and returns its result code; memory running out anywhere
// inside is CSPLAN_ENOMEM, never an exception that crosses the C interface.
template <typename Work>
    requires std::is_same_v<std::invoke_result_t<Work>, int>
int guarded(Work &&work) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return CSPLAN_ENOMEM;
    } catch (...) {
        // Only the standard containers throw here, and only when a size
        // is beyond what memory holds.
        return CSPLAN_ENOMEM;
    }
}

}  // namespace psenv::plan

#endif
