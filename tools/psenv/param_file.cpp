#include "param_file.h"

#include "cli.h"
#include "treekeep.h"

namespace psenv {

bool load_parameter_file(const std::string &path, int tree)
{
    const int code = P_read(tree, path.c_str());
    if (code == P_OK)
        return true;
    error("cannot load '" + path + "': " + store_message(code, "", ""));
    return false;
}

bool set_text_parameter(const char *name, const std::string &value, int tree)
{
    varInfo *record = RcreateVar(name, getTreeRootByIndex(tree), T_STRING);
    if (record == nullptr || assignString(value.c_str(), record, 0) == 0) {
        error(std::string("cannot set parameter '") + name + "'");
        return false;
    }
    return true;
}

}  // namespace psenv
