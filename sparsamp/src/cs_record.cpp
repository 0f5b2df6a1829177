#include "cs_record.h"

#include <cstring>

#include "memalloc.h"

namespace sparsamp {

CSRecord cs{};

std::optional<std::string> schedule_path(const char *directory)
{
    const std::size_t name_length = strnlen(cs.name, sizeof cs.name);
    if (name_length == sizeof cs.name)
        return std::nullopt;
    std::string path;
    if (cs.name[0] == '/') {
        path.assign(cs.name, name_length);
    } else {
        if (directory == nullptr)
            return std::nullopt;
        path = directory;
        path.push_back('/');
        path.append(cs.name, name_length);
    }
    if (path.size() > kMaxPathLength)
        return std::nullopt;
    return path;
}

int made_columns(int *(&columns)[CS_MAX_DIMS])
{
    int count = 0;
    for (int k = 0; k < cs.xdim && k < CS_MAX_DIMS; ++k)
        if (cs.sched[k] != nullptr)
            columns[count++] = cs.sched[k];
    return count;
}

template <typename T>
T *allocate_cleared(std::size_t count)
{
    const std::size_t bytes = count * sizeof(T);
    void *block = allocateWithId(bytes, CS_ALLOC_TAG);
    if (block != nullptr)
        std::memset(block, 0, bytes);
    return static_cast<T *>(block);
}

template int *allocate_cleared<int>(std::size_t);
template char *allocate_cleared<char>(std::size_t);

}  // namespace sparsamp
