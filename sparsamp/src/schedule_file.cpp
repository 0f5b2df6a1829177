// CSreadSched and CSprintSched: reading the schedule file, and the listing.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "cs_record.h"
#include "row_parser.h"

using sparsamp::cs;

namespace sparsamp {
namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open_retrying(const std::string &path, const char *mode)
{
    std::FILE *file = nullptr;
    do {
        errno = 0;
        file = std::fopen(path.c_str(), mode);
    } while (file == nullptr && errno == EINTR);
    return File(file);
}

// One piece of at most 255 characters, as the reader counts lines.
constexpr int kPieceSize = 256;

bool next_piece(std::FILE *file, char (&piece)[kPieceSize])
{
    return std::fgets(piece, kPieceSize, file) != nullptr;
}

bool is_comment(const char (&piece)[kPieceSize])
{
    return piece[0] == '#';
}

// The file's rows, taken in one pass and held until the module's blocks for
// them are known to be obtainable.
int read_rows(std::FILE *file, std::vector<int> &rows)
{
    char piece[kPieceSize];
    do {
        if (!next_piece(file, piece))
            return CS_READ_NODATA;
    } while (is_comment(piece));

    int entries[CS_MAX_DIMS] = {};
    const int found = parse_row(piece, entries);
    if (found == 0)
        return CS_READ_NODATA;
    if (found != cs.xdim)
        return CS_READ_COLUMNS;

    const auto width = static_cast<std::size_t>(cs.xdim);
    rows.insert(rows.end(), entries, entries + width);
    std::size_t count = 1;
    while (count < static_cast<std::size_t>(INT_MAX) && next_piece(file, piece)) {
        if (is_comment(piece))
            continue;
        parse_row(piece, entries);
        rows.insert(rows.end(), entries, entries + width);
        ++count;
    }
    return CS_READ_OK;
}

}  // namespace
}  // namespace sparsamp

extern "C" int CSreadSched(const char *directory)
{
    using namespace sparsamp;
    if (cs.readStatus < 0)
        return cs.readStatus;
    if (cs.readStatus == 1)
        return 0;

    const auto path = schedule_path(directory);
    if (!path)
        return CS_READ_NOFILE;
    File file = open_retrying(*path, "r");
    if (!file)
        return CS_READ_NOFILE;

    std::vector<int> rows;
    const int status = read_rows(file.get(), rows);
    file.reset();
    if (status != CS_READ_OK)
        return status;

    const int xdim = cs.xdim;
    const std::size_t num = rows.size() / static_cast<std::size_t>(xdim);
    int *columns[CS_MAX_DIMS] = {};
    for (int k = 0; k < xdim; ++k) {
        columns[k] = allocate_cleared<int>(num);
        if (columns[k] == nullptr)
            return CS_READ_NOFILE;
    }
    for (std::size_t i = 0; i < num; ++i)
        for (int k = 0; k < xdim; ++k)
            columns[k][i] = rows[i * static_cast<std::size_t>(xdim) + static_cast<std::size_t>(k)];
    for (int k = 0; k < xdim; ++k)
        cs.sched[k] = columns[k];
    cs.num = static_cast<int>(num);
    return CS_READ_OK;
}

extern "C" void CSprintSched(void)
{
    using namespace sparsamp;
    int *columns[CS_MAX_DIMS] = {};
    const int count = made_columns(columns);
    for (int i = 0; i < cs.num; ++i) {
        std::fprintf(stderr, "CS_%-4d", i);
        for (int k = 0; k < count; ++k)
            std::fprintf(stderr, " %-4d", columns[k][i]);
        std::fputc('\n', stderr);
    }
}
