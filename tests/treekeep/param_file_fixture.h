// Parameter files written by hand into a scratch directory, and what the
// trees hold afterwards.
#ifndef PSENV_TESTS_TREEKEEP_PARAM_FILE_FIXTURE_H
#define PSENV_TESTS_TREEKEEP_PARAM_FILE_FIXTURE_H

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "memalloc_testing.h"
#include "scratch_dir.h"
#include "sink_capture.h"
#include "tree_fixture.h"
#include "treekeep.h"

class ParamFileTest : public TreeTest {
protected:
    void TearDown() override
    {
        memalloc_fail_nth(0);
        TreeTest::TearDown();
    }

    std::string write(const std::string &name, const std::string &content) const
    {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Run one of the record readers on `content` against tree `tree`.
    static int readWith(int (*reader)(SymbolNode **, FILE *), int tree, const std::string &content)
    {
        std::FILE *stream = std::tmpfile();
        std::fwrite(content.data(), 1, content.size(), stream);
        std::rewind(stream);
        const int result = reader(getTreeRootByIndex(tree), stream);
        std::fclose(stream);
        return result;
    }

    static varInfo *var(int tree, const char *name)
    {
        return rfindVar(name, getTreeRootByIndex(tree));
    }

public:
    static std::vector<double> reals(const ValueNode *node, int count)
    {
        std::vector<double> out;
        for (int i = 0; i < count && node != nullptr; ++i, node = node->next)
            out.push_back(node->real);
        return out;
    }

    static std::vector<std::string> texts(const ValueNode *node, int count)
    {
        std::vector<std::string> out;
        for (int i = 0; i < count && node != nullptr; ++i, node = node->next)
            out.emplace_back(node->string);
        return out;
    }

protected:
    static std::vector<double> values(int tree, const char *name)
    {
        const varInfo *v = var(tree, name);
        return v ? reals(v->values, v->size) : std::vector<double>{};
    }

    static std::vector<std::string> strings(int tree, const char *name)
    {
        const varInfo *v = var(tree, name);
        return v ? texts(v->values, v->size) : std::vector<std::string>{};
    }

    static long count(int tree) { return countNodes(*getTreeRootByIndex(tree)); }

    static long countNodes(const SymbolNode *node)
    {
        return node == nullptr ? 0 : 1 + countNodes(node->left) + countNodes(node->right);
    }

    ScratchDir scratch_{"treekeep-files"};
    std::string dir_ = scratch_.path();
};

#endif
