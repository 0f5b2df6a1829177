#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "dirsearch.h"
#include "fs_seam.h"
#include "scratch_dir.h"

namespace {

// File-system figures served through the seam instead of a real disk.
struct Figures {
    unsigned long bsize = 4096;
    unsigned long blocks = 1000000;
    unsigned long bavail = 0;
    long file_blocks = -1;  // -1: the file does not exist
};
Figures figures;

int fake_statvfs(const char *, struct statvfs *out)
{
    *out = {};
    out->f_bsize = figures.bsize;
    out->f_blocks = figures.blocks;
    out->f_bavail = figures.bavail;
    return 0;
}

int fake_stat(const char *, struct stat *out)
{
    if (figures.file_blocks < 0) {
        errno = ENOENT;
        return -1;
    }
    *out = {};
    out->st_blocks = figures.file_blocks;
    return 0;
}

class DiskFigures : public ::testing::Test {
protected:
    void SetUp() override
    {
        figures = Figures{};
        const dirsearch_fs_calls fake{fake_statvfs, fake_stat};
        dirsearch_set_fs_calls(&fake);
    }
    void TearDown() override { dirsearch_set_fs_calls(nullptr); }

    static int size_test(unsigned long available, unsigned threshold)
    {
        figures.bavail = available;
        int full = -1;
        EXPECT_EQ(isDiskFullSize("/fs", threshold, &full), 0);
        return full;
    }
    static int file_test(unsigned long available)
    {
        figures.bavail = available;
        int full = -1;
        EXPECT_EQ(isDiskFullFile("/fs", "/fs/file", &full), 0);
        return full;
    }
};

TEST_F(DiskFigures, ThresholdZeroMeansTenBlocks)
{
    EXPECT_EQ(size_test(10, 0), 1);
    EXPECT_EQ(size_test(11, 0), 0);
    EXPECT_EQ(size_test(500, 500), 1);
    EXPECT_EQ(size_test(501, 500), 0);
    EXPECT_EQ(size_test(0x1'0000'0000UL, 0xFFFF'FFFFu), 0);  // no narrowing of the figures
}

TEST_F(DiskFigures, NeedOfAnExistingFileInFileSystemBlocks)
{
    figures.file_blocks = 80;  // 80 x 512 bytes = 10 blocks of 4096
    EXPECT_EQ(file_test(10), 1);
    EXPECT_EQ(file_test(11), 0);
    figures.bsize = 256;  // below 512 bytes the divisor is 1
    EXPECT_EQ(file_test(80), 1);
    EXPECT_EQ(file_test(81), 0);
}

TEST_F(DiskFigures, NeedOfAMissingFileIsEstimated)
{
    EXPECT_EQ(file_test(125), 1);  // 1000000 / 1000 / 8
    EXPECT_EQ(file_test(126), 0);
    figures.blocks = 5000;  // 5 is raised to 10, then divided by 8
    EXPECT_EQ(file_test(1), 1);
    EXPECT_EQ(file_test(2), 0);
    figures.bavail = 0;
    int full = -1;
    EXPECT_EQ(isDiskFullFile("/fs", nullptr, &full), 0);
    EXPECT_EQ(full, 1);
}

TEST(DiskFull, RealFileSystemAndFailures)
{
    ScratchDir root{"dirsearch", 0755};
    const std::string file = root.file("data");
    int full = -1;
    EXPECT_EQ(isDiskFullSize(root.path().c_str(), 1, &full), 0);
    EXPECT_TRUE(full == 0 || full == 1);
    full = -1;
    EXPECT_EQ(isDiskFullFile(root.path().c_str(), file.c_str(), &full), 0);
    EXPECT_TRUE(full == 0 || full == 1);

    EXPECT_EQ(isDiskFullSize(root.path().c_str(), 0, nullptr), -1);
    EXPECT_EQ(isDiskFullFile(root.path().c_str(), file.c_str(), nullptr), -1);

    const std::string missing = root / "gone";
    full = 7;
    testing::internal::CaptureStderr();
    EXPECT_EQ(isDiskFullSize(missing.c_str(), 0, &full), -1);
    EXPECT_EQ(isDiskFullFile(missing.c_str(), file.c_str(), &full), -1);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "Problem with " + missing + ": No such file or directory\n" +
                           "Cannot access " + missing + ": No such file or directory\n");
    EXPECT_EQ(full, 7);
}

}  // namespace
