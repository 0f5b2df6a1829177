// CSwriteSched: the schedule file, replaced whole or not at all.
#include <cerrno>
#include <cstdio>
#include <vector>

#include "cs_record.h"
#include "psenv_util/file_replacement.h"

using sparsamp::cs;

namespace {

int last_write_status = 0;

int write_rows(const std::string &path)
{
    // Large schedules are written in big pieces; the buffer outlives the stream.
    std::vector<char> buffer(1 << 16);
    psenv::util::FileReplacement file(path);
    if (file.stream() == nullptr)
        return file.error();
    std::setvbuf(file.stream(), buffer.data(), _IOFBF, buffer.size());

    int *columns[CS_MAX_DIMS] = {};
    const int count = sparsamp::made_columns(columns);
    for (int i = 0; i < cs.num; ++i) {
        for (int k = 0; k < count; ++k)
            if (std::fprintf(file.stream(), "%-4d ", columns[k][i]) < 0)
                return file.fail(errno), file.commit();
        if (std::fputc('\n', file.stream()) == EOF)
            return file.fail(errno), file.commit();
    }
    return file.commit();
}

}  // namespace

extern "C" void CSwriteSched(const char *directory)
{
    const auto path = sparsamp::schedule_path(directory);
    last_write_status = path ? write_rows(*path) : (directory == nullptr ? EINVAL : ENAMETOOLONG);
}

extern "C" int CSwriteStatus(void)
{
    return last_write_status;
}
