// Reading the lock-frequency table: line framing and the row scan.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <sys/stat.h>

#include "hostenv.h"
#include "synthcalc.h"
#include "synthcalc_internal.h"

namespace {

constexpr int kRetryAttempts = 100;  // bound on retries after EINTR

// The table file, closed on every path out of the search.
class TableFile {
public:
    explicit TableFile(const char *path)
    {
        for (int attempt = 0; attempt < kRetryAttempts; ++attempt) {
            errno = 0;
            file_ = std::fopen(path, "r");
            if (file_ != nullptr || errno != EINTR)
                break;
        }
    }
    ~TableFile() { close(); }
    TableFile(const TableFile &) = delete;
    TableFile &operator=(const TableFile &) = delete;

    bool is_open() const { return file_ != nullptr; }
    void close()
    {
        if (file_ != nullptr)
            std::fclose(file_);
        file_ = nullptr;
    }

    // Next byte, or EOF at the end of the file or on a lasting read error.
    int next()
    {
        for (int attempt = 0; attempt < kRetryAttempts; ++attempt) {
            errno = 0;
            const int c = std::getc(file_);
            if (c != EOF || !std::ferror(file_) || errno != EINTR)
                return c;
            std::clearerr(file_);
        }
        return EOF;
    }

private:
    std::FILE *file_ = nullptr;
};

// One line as kept for the scan: at most LOCKFREQTAB_LINE_MAX characters.
struct Line {
    char text[LOCKFREQTAB_LINE_MAX + 1];
    int length;
};

// Reads the next line, keeping its head.  False when the file ends before a
// newline: a last line without one is never examined.
bool read_line(TableFile &file, Line &line)
{
    line.length = 0;
    for (;;) {
        const int c = file.next();
        if (c == EOF)
            return false;
        if (line.length < LOCKFREQTAB_LINE_MAX)
            line.text[line.length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    if (line.length >= 2 && line.text[line.length - 1] == '\n' &&
        line.text[line.length - 2] == '\r')
        line.length -= 2;
    line.text[line.length] = '\0';
    return true;
}

bool passed_over(const Line &line)
{
    return line.length == 0 || line.text[0] == '#' ||
           (line.length == 1 && line.text[0] == '\n');
}

struct Row {
    long key;
    double synthif;
    double lockref;
};

// Scans the four fields as "%d %lf %1s %lf" would, but through strtol and
// strtod so that an oversized key is defined (it matches no int32 key).  The
// sense field is stored into `sense` as soon as it is scanned.  False when
// fewer than four fields scan.
bool scan_row(const char *text, Row &row, char sense[2])
{
    char *end = nullptr;
    errno = 0;
    row.key = std::strtol(text, &end, 10);
    if (end == text)
        return false;
    if (errno == ERANGE || row.key < INT_MIN || row.key > INT_MAX)
        row.key = LONG_MAX;  // outside every key
    text = end;

    row.synthif = std::strtod(text, &end);
    if (end == text)
        return false;
    text = end;

    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text == '\0')
        return false;
    sense[0] = *text++;
    sense[1] = '\0';

    row.lockref = std::strtod(text, &end);
    return end != text;
}

// How a search of the table ended.
enum class Search { kFound, kUnreadable, kNoRow, kDamaged };

// The search itself, without the abort handler: lockfreqtab_read and
// lockfreqtab_find report its end each in their own way.  `error` receives
// the errno value of an open or read that failed.
Search search(const char *path, int key, double *synthif, char *lksense, double *lockref,
              int &error)
{
    error = 0;
    TableFile file(path);
    if (!file.is_open()) {
        error = errno;
        return Search::kUnreadable;
    }
    char own_sense[2] = {'\0', '\0'};
    char *sense = lksense != nullptr ? lksense : own_sense;
    Line line;
    while (read_line(file, line)) {
        if (passed_over(line))
            continue;
        Row row{};
        if (!scan_row(line.text, row, sense))
            return Search::kDamaged;
        if (row.key == key && (sense[0] == '+' || sense[0] == '-')) {
            if (synthif != nullptr)
                *synthif = row.synthif;
            if (lockref != nullptr)
                *lockref = row.lockref;
            return Search::kFound;
        }
    }
    return Search::kNoRow;
}

}  // namespace

extern "C" int lockfreqtab_read(const char *path, int key, double *synthif, char *lksense,
                                double *lockref)
{
    if (path == nullptr)
        return -1;
    int error = 0;
    switch (search(path, key, synthif, lksense, lockref, error)) {
    case Search::kFound:
        return 0;
    case Search::kDamaged:
        abort_message(LOCKFREQTAB_TABLE_ERROR);
        return -1;
    case Search::kUnreadable:
    case Search::kNoRow:
        break;
    }
    return -1;
}

extern "C" int lockfreqtab_find(int key, int *error)
{
    int ignored = 0;
    int &reason = error != nullptr ? *error : ignored;
    reason = 0;
    const std::optional<std::string> path = synthcalc::table_path();
    if (!path) {
        reason = ENAMETOOLONG;
        return LOCKFREQTAB_NO_TABLE;
    }
    // A directory opens and then reads as an empty file; it is no table.
    struct stat info {};
    if (stat(path->c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        reason = EISDIR;
        return LOCKFREQTAB_NO_TABLE;
    }
    switch (search(path->c_str(), key, nullptr, nullptr, nullptr, reason)) {
    case Search::kFound:
        return LOCKFREQTAB_ROW_FOUND;
    case Search::kDamaged:
        return LOCKFREQTAB_DAMAGED;
    case Search::kUnreadable:
        return LOCKFREQTAB_NO_TABLE;
    case Search::kNoRow:
        break;
    }
    return LOCKFREQTAB_NO_ROW;
}
