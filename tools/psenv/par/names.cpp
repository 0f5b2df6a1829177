// psenv par names: the record names of a file, for scripts and completion.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/command.h"
#include "core/file_problems.h"
#include "core/parameter_file.h"
#include "memalloc.h"
#include "par/param_trees.h"
#include "par/text_forms.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("par names needs exactly one parameter file");
    const std::string &path = args.operands.front();
    const Reading reading = check_before_reading(path, args.has("lenient"));
    if (reading == Reading::kStop)
        return kExitFailure;

    char *list = nullptr;
    int code = P_OK;
    const int messages =
        with_loader_messages(path, [&] { code = P_readnames(path.c_str(), &list); });
    if (code != P_OK) {
        report(code, path, ": ");
        return kExitFailure;
    }
    if (messages != 0 && reading == Reading::kWhole)
        suggest_check(path);
    if (list != nullptr) {
        // Names hold no white space, so the blank-separated list splits cleanly.
        const std::string all = list;
        release(list);
        std::size_t start = 0;
        while (start <= all.size()) {
            const std::size_t end = std::min(all.find(' ', start), all.size());
            std::puts(name_text(std::string_view(all).substr(start, end - start)).c_str());
            start = end + 1;
        }
    }
    return messages == 0 && reading == Reading::kWhole ? kExitOk : kExitFailure;
}

constexpr Option kOptions[] = {
    {"lenient", "",
     "print the names of a damaged file anyway, as the loader\n"
     "reads them (standard error says so; the status stays 1)"},
};

}  // namespace

extern constinit const Command kNames{
    .name = "names",
    .summary = "the names of the file's records in file order",
    .usage = "FILE [--lenient]",
    .options = kOptions,
    .help = "Prints the names of the records of the parameter file FILE, one per line,\n"
            "in file order, without loading the parameters.  Backslashes and control\n"
            "characters in a name are escaped (\\\\, \\n, \\t, \\r, \\xNN).\n"
            "\n"
            "FILE is checked first as by 'psenv par check': nothing of a damaged file\n"
            "is printed, its problems are.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (unreadable or damaged file), 2 usage\n"
            "error.",
    .option_column = 14,
    .run = run,
};

}  // namespace psenv::par
