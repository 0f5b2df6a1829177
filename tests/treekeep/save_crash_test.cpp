// A save killed at any moment leaves the target either the complete old
// file or the complete new one.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>

#include "save_support.h"
#include "tree_fixture.h"
#include "treekeep.h"

namespace {

class SaveCrash : public TreeTest {
protected:
    // A tree whose file runs to a few megabytes, so that a save takes long
    // enough to be interrupted in every phase.
    static void fill(int tree, const std::string &flavour)
    {
        std::string text(300, 'v');
        for (int i = 0; i < 3000; ++i) {
            std::string name = "par" + std::to_string(i);
            make_string(tree, name.c_str(), {text.c_str(), flavour.c_str()});
            make_real(tree, ("r" + name).c_str(), {i * 0.5, 1.0 / (i + 1), -1e-07 * i});
        }
    }
};

TEST_F(SaveCrash, KilledSaveLeavesOldOrNewFile)
{
    SaveDir dir;
    fill(1, "first");
    fill(2, "second");
    const std::string target = dir / "params";
    const std::string versions[2] = {dir / "one", dir / "two"};
    ASSERT_EQ(P_save(1, versions[0].c_str()), P_OK);
    auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(P_save(2, versions[1].c_str()), P_OK);
    auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - begin)
                        .count();
    const std::string contents[2] = {*read_file(versions[0]), *read_file(versions[1])};
    ASSERT_NE(contents[0], contents[1]);
    ASSERT_EQ(P_save(1, target.c_str()), P_OK);

    std::mt19937 random(12345);
    // Fork costs time of its own before the child starts saving.
    std::uniform_int_distribution<long> delay(0, duration * 3 / 2 + 2000);
    std::string current = contents[0];
    int interrupted = 0;
    for (int round = 0; round < 300; ++round) {
        const int tree = 1 + round % 2;
        const std::string &attempted = contents[tree - 1];
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            _exit(P_save(tree, target.c_str()) == P_OK ? 0 : 1);
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status))
            ++interrupted;
        else
            ASSERT_EQ(WEXITSTATUS(status), 0);

        std::optional<std::string> now = read_file(target);
        ASSERT_TRUE(now.has_value()) << "round " << round;
        ASSERT_TRUE(*now == current || *now == attempted) << "round " << round;
        current = *now;
        unlink((target + std::to_string(child)).c_str());  // a killed save's leftover
    }
    EXPECT_GT(interrupted, 0);
}

}  // namespace
