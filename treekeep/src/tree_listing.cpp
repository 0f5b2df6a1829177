// The names of a tree as one text.
#include <cstring>

#include "tree_walk.h"
#include "treekeep_internal.h"

extern "C" int P_listnames(int tree, char *buf)
{
    SymbolNode **root = getTreeRoot(getRoot(tree));
    if (root == nullptr)
        return P_NOTREE;
    if (buf == nullptr)
        return P_OK;  // nowhere to put the names
    char *end = buf;
    *end = '\0';
    // Appending at the remembered end keeps a long listing linear.
    int result = treekeep::walkPreOrder(*root, [&](SymbolNode *node) {
        if (node->name != nullptr) {
            std::size_t length = std::strlen(node->name);
            *end++ = ' ';
            std::memcpy(end, node->name, length);
            end += length;
        }
        return P_OK;
    });
    *end = '\0';
    return result;
}
