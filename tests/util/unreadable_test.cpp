// Why a file cannot be read, told before a reader that would not say.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include <sys/stat.h>

#include "psenv_util/unreadable.h"
#include "scratch.h"

namespace {

using Unreadable = Scratch;

TEST_F(Unreadable, NamesTheReasonAndNeverWaits)
{
    EXPECT_EQ(psenv::util::unreadable(path("missing").c_str()), ENOENT);
    EXPECT_EQ(psenv::util::unreadable(path("missing/below").c_str()), ENOENT);
    std::ofstream(path("file")) << "1\n";
    EXPECT_EQ(psenv::util::unreadable(path("file").c_str()), 0);
    EXPECT_EQ(psenv::util::unreadable(path("file/below").c_str()), ENOTDIR);
    // A directory would read as an empty file.
    EXPECT_EQ(psenv::util::unreadable(path("").c_str()), EISDIR);
    // A FIFO without a writer is opened without waiting for one.
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    EXPECT_EQ(psenv::util::unreadable(path("fifo").c_str()), 0);
}

}  // namespace
