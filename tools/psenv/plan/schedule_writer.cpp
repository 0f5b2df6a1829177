#include "schedule_writer.h"

#include <cstdio>
#include <cstring>

#include "psenv_util/file_replacement.h"

namespace psenv::plan {

std::string schedule_text(const Columns &columns)
{
    std::string text;
    const std::size_t rows = columns.empty() ? 0 : columns.front().size();
    char field[16];
    for (std::size_t i = 0; i < rows; ++i) {
        for (const auto &column : columns) {
            std::snprintf(field, sizeof field, "%-4d ", column[i]);
            text += field;
        }
        text += '\n';
    }
    return text;
}

bool write_schedule_file(const std::string &path, const Columns &columns, std::string &reason)
{
    return replace_file(path, schedule_text(columns), reason);
}

bool replace_file(const std::string &path, const std::string &text, std::string &reason)
{
    if (const int failure = psenv::util::replace_file(path, text); failure != 0) {
        reason = "cannot write '" + path + "': " + std::strerror(failure);
        return false;
    }
    return true;
}

}  // namespace psenv::plan
