#include "param_file.h"

#include "cli.h"
#include "treekeep.h"

namespace psenv {

bool load_parameter_file(const std::string &path, int tree)
{
    const int code = P_read(tree, path.c_str());
    if (code == P_OK)
        return true;
    error(store_message(code, path, ": "));
    return false;
}

bool set_text_parameter(const char *name, const std::string &value, int tree)
{
    int code = P_creatvar(tree, name, T_STRING);
    if (code == P_OK)
        code = P_setstring(tree, name, value.c_str(), 1);
    if (code == P_OK)
        return true;
    error(std::string("cannot set parameter '") + name + "': " + store_message(code, "", ""));
    return false;
}

}  // namespace psenv
