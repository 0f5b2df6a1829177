// A system directory with a lock-frequency table for the tests, the
// "Console" parameter, and a catcher for abort messages.
#ifndef PSENV_TESTS_SYNTHCALC_LOCK_TABLE_FIXTURE_H
#define PSENV_TESTS_SYNTHCALC_LOCK_TABLE_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hostenv.h"
#include "tree_fixture.h"

class LockTableTest : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "synthcalc-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        std::filesystem::create_directories(root_ + "/nuctables");
        set_systemdir(root_);
        bgflag = 0;
        abort_message_set_hook(&LockTableTest::catch_abort, &aborts_);
    }

    void TearDown() override
    {
        abort_message_set_hook(nullptr, nullptr);
        bgflag = 0;
        systemdir[0] = '\0';
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
        TreeTest::TearDown();
    }

    static void set_systemdir(const std::string &dir)
    {
        ASSERT_LT(dir.size(), sizeof systemdir);
        std::memcpy(systemdir, dir.c_str(), dir.size() + 1);
    }

    std::string table_path() const { return root_ + "/nuctables/lockfreqtab"; }

    // Writes the table verbatim (no newline is added at the end).
    void write_table(const std::string &text) const
    {
        std::ofstream(table_path(), std::ios::binary) << text;
    }

    static void set_console(int tree, const char *type) { make_string(tree, "Console", {type}); }

    std::string root_;
    std::vector<std::string> aborts_;

private:
    static void catch_abort(const char *text, void *context)
    {
        static_cast<std::vector<std::string> *>(context)->push_back(text);
    }
};

#endif
