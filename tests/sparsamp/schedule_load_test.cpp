// CSreadSchedFile: a schedule file of unknown column count through the
// module's reader, and the sentence that says why one cannot be read.
#include <cerrno>
#include <string>

#include "sparsamp_fixture.h"

namespace {

using ScheduleLoad = SparsampTest;

struct Loaded {
    int status = 1;
    int columns = -1;
    int error = -1;
    std::string detail;
};

Loaded load(const std::string &path)
{
    Loaded loaded;
    char detail[512] = "unchanged";
    loaded.status = CSreadSchedFile(path.c_str(), &loaded.columns, &loaded.error, detail,
                                    sizeof detail);
    loaded.detail = detail;
    return loaded;
}

TEST_F(ScheduleLoad, FindsTheColumnCountFromOneToTen)
{
    for (int columns = 1; columns <= CS_MAX_DIMS; ++columns) {
        SCOPED_TRACE(columns);
        std::string row;
        for (int k = 0; k < columns; ++k)
            row += std::to_string(k) + " ";
        write_file("s.sch", "# comment\n" + row + "\n\n" + row + "\n");
        const Loaded loaded = load(path("s.sch"));
        ASSERT_EQ(loaded.status, CS_READ_OK);
        EXPECT_EQ(loaded.columns, columns);
        EXPECT_EQ(loaded.error, 0);
        EXPECT_EQ(loaded.detail, "");
        // The blank line repeats the row before it, as the reader takes it.
        EXPECT_EQ(getCSnum(), 3);
        EXPECT_EQ(getCSval(columns - 1, 2), columns - 1);
    }
    // The reader's configuration does not stay in the current tree.
    EXPECT_EQ(*getTreeRootByIndex(1), nullptr);
}

TEST_F(ScheduleLoad, SaysWhyAFileCannotBeRead)
{
    const std::string missing = path("none.sch");
    Loaded loaded = load(missing);
    EXPECT_EQ(loaded.status, CS_READ_NOFILE);
    EXPECT_EQ(loaded.error, ENOENT);
    EXPECT_EQ(loaded.detail, "cannot open schedule file '" + missing + "': " + std::strerror(ENOENT));

    loaded = load(dir_);
    EXPECT_EQ(loaded.status, CS_READ_NOFILE);
    EXPECT_EQ(loaded.error, EISDIR);

    write_file("empty.sch", "# nothing\n");
    loaded = load(path("empty.sch"));
    EXPECT_EQ(loaded.status, CS_READ_NODATA);
    EXPECT_EQ(loaded.error, 0);
    EXPECT_EQ(loaded.detail, "schedule file '" + path("empty.sch") + "' has no data row");

    // The reader takes ten integers of a row at most: a wider one is cut.
    write_file("wide.sch", "0 1 2 3 4 5 6 7 8 9 10\n");
    loaded = load(path("wide.sch"));
    EXPECT_EQ(loaded.status, CS_READ_OK);
    EXPECT_EQ(loaded.columns, CS_MAX_DIMS);

    // 254 characters with "./" before a relative name is the most.
    const std::string long_name(254, 'a');
    loaded = load(long_name);
    EXPECT_EQ(loaded.status, CS_READ_NOFILE);
    EXPECT_EQ(loaded.detail,
              "schedule file name '" + long_name + "' is too long (255 characters at most)");
    EXPECT_EQ(load("/" + std::string(254, 'b')).error, ENOENT);  // not too long: absent

    int columns = 0;
    EXPECT_EQ(CSreadSchedFile(nullptr, &columns, nullptr, nullptr, 0), CS_READ_NOFILE);
    write_file("s.sch", "1 2\n");
    EXPECT_EQ(CSreadSchedFile(path("s.sch").c_str(), nullptr, nullptr, nullptr, 0),
              CS_READ_NOFILE);
    // A detail is cut to fit.
    char small[10];
    EXPECT_EQ(CSreadSchedFile(missing.c_str(), &columns, nullptr, small, sizeof small),
              CS_READ_NOFILE);
    EXPECT_STREQ(small, "cannot op");
}

}  // namespace
