#include "schedule_format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <new>

#include "psenv_util/file_replacement.h"

namespace sparsamp {
namespace {

// Rows are formatted in pieces of about this many bytes and written whole.
constexpr std::size_t kPieceBytes = std::size_t{1} << 16;

// "%-4d " without printf: this runs once per entry of schedules that can
// hold hundreds of millions of them.
void append_entry(std::string &text, int value)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const auto length = static_cast<std::size_t>(result.ptr - digits);
    text.append(digits, length);
    if (length < 4)
        text.append(4 - length, ' ');
    text.push_back(' ');
}

}  // namespace

void append_schedule_rows(std::string &text, const ScheduleEntries &entries, std::int64_t first,
                          std::int64_t last)
{
    for (std::int64_t i = first; i < last; ++i) {
        for (std::size_t k = 0; k < entries.columns.size(); ++k)
            append_entry(text, entries.entry(i, k));
        text.push_back('\n');
    }
}

int write_schedule_file(const std::string &path, const ScheduleEntries &entries)
{
    psenv::util::FileReplacement file(path);
    if (file.stream() == nullptr)
        return file.error();
    try {
        // A row takes at most 12 bytes per entry and its line end.
        const auto row_bytes = 12 * static_cast<std::int64_t>(entries.columns.size()) + 1;
        const std::int64_t rows_per_piece =
            std::max<std::int64_t>(1, static_cast<std::int64_t>(kPieceBytes) / row_bytes);
        std::string piece;
        piece.reserve(kPieceBytes + static_cast<std::size_t>(row_bytes));
        for (std::int64_t first = 0; first < entries.rows; first += rows_per_piece) {
            piece.clear();
            append_schedule_rows(piece, entries, first,
                                 std::min(entries.rows, first + rows_per_piece));
            if (std::fwrite(piece.data(), 1, piece.size(), file.stream()) != piece.size()) {
                file.fail(errno);
                break;
            }
        }
    } catch (const std::bad_alloc &) {
        file.fail(ENOMEM);
    }
    return file.commit();
}

}  // namespace sparsamp
