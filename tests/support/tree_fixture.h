// Test fixture that empties the five trees before and after each test, with
// helpers to build parameters directly through the tree component.
#ifndef PSENV_TESTS_TREE_FIXTURE_H
#define PSENV_TESTS_TREE_FIXTURE_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "vartree.h"

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override { toss_all(); }
    void TearDown() override { toss_all(); }

    static void toss_all()
    {
        for (int tree = 0; tree <= 4; ++tree)
            tossVars(getTreeRootByIndex(tree));
    }

    static varInfo *make_real(int tree, const char *name, std::initializer_list<double> values)
    {
        varInfo *v = RcreateVar(name, getTreeRootByIndex(tree), T_REAL);
        int index = 0;
        for (double value : values) {
            assignReal(value, v, index == 0 ? 0 : index + 1);
            ++index;
        }
        return v;
    }

    static varInfo *make_string(int tree, const char *name,
                                std::initializer_list<const char *> values)
    {
        varInfo *v = RcreateVar(name, getTreeRootByIndex(tree), T_STRING);
        int index = 0;
        for (const char *value : values) {
            assignString(value, v, index == 0 ? 0 : index + 1);
            ++index;
        }
        return v;
    }
};

#endif
