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
#include "scratch_dir.h"
#include "tree_fixture.h"

class LockTableTest : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
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

    ScratchDir scratch_{"synthcalc"};
    std::string root_ = scratch_.path();
    std::vector<std::string> aborts_;

private:
    static void catch_abort(const char *text, void *context)
    {
        static_cast<std::vector<std::string> *>(context)->push_back(text);
    }
};

#endif
