// Any bytes as a parameter file, through every loader.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "errsink.h"
#include "memalloc.h"
#include "treekeep.h"

namespace {

void quiet(const char *, void *) {}

std::FILE *streamOf(const std::uint8_t *data, std::size_t size)
{
    std::FILE *stream = std::tmpfile();
    if (stream != nullptr) {
        std::fwrite(data, 1, size, stream);
        std::rewind(stream);
    }
    return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Werrprintf_set_hook(quiet, nullptr);
    std::FILE *stream = streamOf(data, size);
    if (stream == nullptr)
        return 0;
    SymbolNode **root = getTreeRootByIndex(1);
    readfromdisk(root, stream);
    std::rewind(stream);
    readvaluesfromdisk(root, stream);
    std::rewind(stream);
    readNewVarsfromdisk(getTreeRootByIndex(2), stream);
    std::fclose(stream);

    char path[] = "/tmp/treekeep-fuzz-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) {
        std::FILE *file = fdopen(fd, "w");
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        P_rtx(3, path, 1, 0);
        char *names = nullptr;
        P_readnames(path, &names);
        release(names);
        remove(path);
    }
    for (int tree = 1; tree <= 3; ++tree)
        tossVars(getTreeRootByIndex(tree));
    return 0;
}
