// Reading the lock-frequency table: line framing and the row scan.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "hostenv.h"
#include "synthcalc.h"

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

}  // namespace

extern "C" int lockfreqtab_read(const char *path, int key, double *synthif, char *lksense,
                                double *lockref)
{
    if (path == nullptr)
        return -1;
    TableFile file(path);
    if (!file.is_open())
        return -1;

    char own_sense[2] = {'\0', '\0'};
    char *sense = lksense != nullptr ? lksense : own_sense;
    Line line;
    while (read_line(file, line)) {
        if (passed_over(line))
            continue;
        Row row{};
        if (!scan_row(line.text, row, sense)) {
            file.close();
            abort_message("PSG: Error in lockfreqtab file.");
            return -1;
        }
        if (row.key == key && (sense[0] == '+' || sense[0] == '-')) {
            if (synthif != nullptr)
                *synthif = row.synthif;
            if (lockref != nullptr)
                *lockref = row.lockref;
            return 0;
        }
    }
    return -1;
}
