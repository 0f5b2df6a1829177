// The schedules and the pictures `psenv sched` draws of them
// (tests/psenv/pictures), for the tests that hold the C interface to the
// same bytes.
#ifndef PSENV_TESTS_PICTURE_FILES_H
#define PSENV_TESTS_PICTURE_FILES_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// tests/psenv/pictures of the source tree, or empty when PSENV_SOURCE_DIR
// is not set.
inline std::filesystem::path picture_files()
{
    const char *source = std::getenv("PSENV_SOURCE_DIR");
    return source == nullptr ? std::filesystem::path()
                             : std::filesystem::path(source) / "tests/psenv/pictures";
}

inline std::string slurp_file(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A schedule file of those: whole numbers, one row a line, all rows alike.
struct RowsOfFile {
    std::vector<int> rows;  // row-major
    int columns = 0;
    long long count() const { return columns == 0 ? 0 : static_cast<long long>(rows.size()) / columns; }
};

inline RowsOfFile read_rows(const std::filesystem::path &path)
{
    RowsOfFile result;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream numbers(line);
        int columns = 0;
        for (int value = 0; numbers >> value; ++columns)
            result.rows.push_back(value);
        if (columns > 0)
            result.columns = columns;
    }
    return result;
}

#endif
