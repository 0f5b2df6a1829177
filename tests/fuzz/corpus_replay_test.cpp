// Replays the checked-in corpus of one fuzz harness through the harness's
// own entry point, so that every seed and every input that once broke a
// reader is run again by the normal suite (and under the sanitizers).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

std::vector<std::filesystem::path> corpus_files()
{
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator(PSENV_CORPUS_DIR))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Named after the harness (PSENV_HARNESS), so that ctest tells them apart.
TEST(CorpusReplay, PSENV_HARNESS)
{
    if (LLVMFuzzerInitialize != nullptr) {
        int argc = 0;
        char **argv = nullptr;
        LLVMFuzzerInitialize(&argc, &argv);
    }
    const auto files = corpus_files();
    ASSERT_FALSE(files.empty()) << "no inputs in " << PSENV_CORPUS_DIR;
    for (const auto &file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        // A failed check aborts the process, which fails this test.
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()),
                                         bytes.size()),
                  0);
    }
}

}  // namespace
