// psenv par merge: the selective transfer of one file into another.
#include <cstdio>
#include <string>
#include <vector>

#include "cli.h"
#include "cmd_par.h"
#include "par_diff.h"
#include "par_edit.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

constexpr const char *kCommand = "par merge";

void print_help()
{
    std::puts("Usage: psenv par merge DEST SRC [--all] [--clear-bit] [--force]\n"
              "                       [--wait SECONDS]\n\n"
              "Transfers parameters of the parameter file SRC into the parameter file\n"
              "DEST and saves DEST (written beside it and renamed over it, with its\n"
              "owner, group and permission bits):\n\n"
              "  - a parameter of DEST whose protection has bit 0x4000 is never changed;\n"
              "  - otherwise a record of SRC is taken (replacing or adding the\n"
              "    parameter) when its protection has bit 0x4000, or with --all.\n\n"
              "  --all            take every record of SRC, not only those with bit 0x4000\n"
              "  --clear-bit      clear bit 0x4000 in the protection of what is taken, so\n"
              "                   that a later merge may change it again\n"
              "  --force          replace DEST even without write permission on it or\n"
              "                   when it has several hard links\n"
              "  --wait SECONDS   wait at most this long for another editor (default 10)\n\n"
              "DEST must be a regular file (a symbolic link to one is followed); DEST and\n"
              "SRC must pass 'psenv par check'.  One editor at a time changes the files\n"
              "of a directory; another waits for it.\n\n"
              "Prints what changed in DEST: '+ NAME' added, '~ NAME FIELD: a -> b'.\n\n"
              "Exit status: 0 merged and saved, 1 refused or failed (DEST is then\n"
              "unchanged), 2 usage error.");
}

}  // namespace

int merge(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false},
                               {"all", false},
                               {"clear-bit", false},
                               {"force", false},
                               {"wait", true}},
                              kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 2)
        return usage_error("par merge needs a destination and a source parameter file",
                           kCommand);
    const std::string &dest = args->operands[0];
    const std::string &source = args->operands[1];

    const auto wait = lock_wait(args->get("wait"));
    if (!wait)
        return usage_error("--wait takes seconds from 0 to 3600", kCommand);

    const auto edit = begin_edit(dest, args->has("force"), *wait);
    if (!edit)
        return kExitFailure;
    switch (load_file(kTreeA, edit->file())) {
    case Load::kComplete:
        break;
    case Load::kIncomplete:
        error(dest + ": not all of the file could be read; it was left unchanged");
        return kExitFailure;
    case Load::kFailed:
        return kExitFailure;
    }
    if (!whole_file(source)) {
        error(dest + ": not merged; it was left unchanged");
        return kExitFailure;
    }
    const std::vector<Param> before = collect(kTreeA);
    int code = P_OK;
    const int messages = with_loader_messages(source, [&] {
        code = P_rtx(kTreeA, source.c_str(), args->has("all") ? 1 : 0,
                     args->has("clear-bit") ? 1 : 0);
    });
    if (code != P_OK || messages != 0) {
        // Loader messages already name the cause; the code alone only when
        // nothing was said (a failed open or close).
        if (messages == 0)
            report(code, source, ": ");
        error(dest + ": not merged; it was left unchanged");
        return kExitFailure;
    }
    if (reject_unsavable(kTreeA, dest))
        return kExitFailure;
    if (!save_file(kTreeA, dest, edit->file()))
        return kExitFailure;
    for (const std::string &line : tree_changes(before, collect(kTreeA)))
        std::puts(line.c_str());
    return kExitOk;
}

}  // namespace psenv::par
