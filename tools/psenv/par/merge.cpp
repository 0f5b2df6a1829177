// psenv par merge: the selective transfer of one file into another.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/file_problems.h"
#include "core/parameter_file.h"
#include "core/streams.h"
#include "par/changes.h"
#include "par/guarded_edit.h"
#include "par/param_trees.h"
#include "par/text_forms.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

constexpr const char *kProtectedInDest = "protected in DEST (bit 0x4000)";
constexpr const char *kNotMarked = "not marked in SRC (bit 0x4000; --all takes it)";

struct Skipped {
    std::string name;
    long line;
    const char *why;
};

// The records of SRC that the transfer leaves out, in file order, decided
// as the transfer decides: against DEST as the records before have left it.
std::vector<Skipped> records_not_taken(const std::vector<Param> &dest,
                                       const std::vector<ParfileRecord> &source, bool all,
                                       bool clear_bit)
{
    std::map<std::string, long> protection;
    for (const Param &param : dest)
        protection[param.name] = param.prot;
    std::vector<Skipped> skipped;
    for (const ParfileRecord &record : source) {
        const auto found = protection.find(record.name);
        if (found != protection.end() && (found->second & P_PROT_SELECTIVE) != 0) {
            skipped.push_back({record.name, record.line, kProtectedInDest});
        } else if ((record.protection & P_PROT_SELECTIVE) == 0 && !all) {
            skipped.push_back({record.name, record.line, kNotMarked});
        } else {
            protection[record.name] =
                clear_bit ? record.protection & ~P_PROT_SELECTIVE : record.protection;
        }
    }
    return skipped;
}

std::vector<std::string> skipped_lines(const std::vector<Skipped> &skipped,
                                       const std::vector<ParfileRecord> &source, bool quiet)
{
    std::vector<std::string> lines;
    if (skipped.empty())
        return lines;
    if (quiet) {
        std::size_t protected_count = 0;
        for (const Skipped &record : skipped)
            protected_count += record.why == kProtectedInDest ? 1 : 0;
        const std::size_t unmarked = skipped.size() - protected_count;
        std::string line = "= " + std::to_string(skipped.size()) +
                           (skipped.size() == 1 ? " record" : " records") + " not taken (";
        if (unmarked != 0)
            line += std::to_string(unmarked) + " not marked in SRC";
        if (unmarked != 0 && protected_count != 0)
            line += ", ";
        if (protected_count != 0)
            line += std::to_string(protected_count) + " protected in DEST";
        lines.push_back(line + ")");
        return lines;
    }
    std::map<std::string, int> copies;
    for (const ParfileRecord &record : source)
        ++copies[record.name];
    for (const Skipped &record : skipped) {
        std::string line = "= " + name_text(record.name);
        if (copies[record.name] > 1)
            line += " (line " + std::to_string(record.line) + ")";
        lines.push_back(line + " not taken: " + record.why);
    }
    return lines;
}

// A source that cannot be read whole (reported by the check), is damaged,
// or repeats a name without --force is not merged: kExitFailure.
int source_taken(const Checked &checked, const std::string &source, bool force)
{
    if (checked.whole != Whole::kYes)
        return kExitFailure;
    if (checked.repeats == 0 || force)
        return kExitOk;
    error(source + ": records repeat a name, and which of them ends up in DEST depends on "
                   "their order and bits (--force merges anyway)");
    return kExitFailure;
}

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 2)
        return call.usage("par merge needs a destination and a source parameter file");
    const std::string &dest = args.operands[0];
    const std::string &source = args.operands[1];
    const bool all = args.has("all");
    const bool clear_bit = args.has("clear-bit");
    const bool force = args.has("force");

    double wait = 0.0;
    if (const int status = lock_wait(call, wait); status != kExitOk)
        return status;

    Edit edit;
    if (const int status = edit.begin(dest, force, wait); status != kExitOk)
        return status;
    const std::string unchanged = dest + ": not merged; it was left unchanged";
    switch (load_file(kFileTree, edit.file())) {
    case Load::kComplete:
        break;
    case Load::kIncomplete:
        error(dest + ": not all of the file could be read; it was left unchanged");
        return kExitFailure;
    case Load::kFailed:
        return kExitFailure;
    }
    const Checked checked = check_reported(source, source);
    if (source_taken(checked, source, force) != kExitOk) {
        error(unchanged);
        return kExitFailure;
    }
    const std::vector<Param> before = collect(kFileTree);
    const std::vector<Skipped> skipped = records_not_taken(before, checked.records, all, clear_bit);
    int code = P_OK;
    const int messages = with_loader_messages(source, [&] {
        code = P_rtx(kFileTree, source.c_str(), all ? 1 : 0, clear_bit ? 1 : 0);
    });
    if (code != P_OK || messages != 0) {
        // Loader messages already name the cause; the code alone only when
        // nothing was said (a failed open or close).
        if (messages == 0)
            report(code, source, ": ");
        else
            suggest_check(source);
        error(unchanged);
        return kExitFailure;
    }
    if (const int status = refuse_unsavable(kFileTree, dest); status != kExitOk)
        return status;
    // The report first: "unchanged" must never be said of a saved file.
    std::vector<std::string> lines = tree_changes(before, collect(kFileTree));
    for (std::string &line : skipped_lines(skipped, checked.records, args.has("quiet")))
        lines.push_back(std::move(line));
    for (const std::string &line : lines)
        std::puts(line.c_str());
    if (flush_output() != kExitOk) {
        error(unchanged);
        return kExitFailure;
    }
    return edit.save(kFileTree);
}

constexpr Option kOptions[] = {
    {"all", "", "take every record of SRC, not only those with bit 0x4000"},
    {"clear-bit", "",
     "clear bit 0x4000 in the protection of what is taken, so\n"
     "that a later merge may change it again"},
    {"quiet", "", "count the records not taken instead of listing them"},
    {"force", "",
     "replace DEST even without write permission on it or\n"
     "when it has several hard links; merge files that repeat\n"
     "a record's name"},
    {"wait", "SECONDS", "wait at most this long for another editor (default 10)"},
};

}  // namespace

extern constinit const Command kMerge{
    .name = "merge",
    .summary = "the selective transfer of SRC into DEST, then save DEST",
    .usage = "DEST SRC [--all] [--clear-bit] [--quiet] [--force]\n"
             "                       [--wait SECONDS]",
    .options = kOptions,
    .help = "Transfers parameters of the parameter file SRC into the parameter file\n"
            "DEST and saves DEST (written beside it and renamed over it, with its\n"
            "owner, group and permission bits):\n"
            "\n"
            "  - a parameter of DEST whose protection has bit 0x4000 is never changed;\n"
            "  - otherwise a record of SRC is taken (replacing or adding the\n"
            "    parameter) when its protection has bit 0x4000, or with --all.\n"
            "\n"
            "{options}\n"
            "\n"
            "DEST must be a regular file (a symbolic link to one is followed); DEST and\n"
            "SRC must pass 'psenv par check'.  One editor at a time changes the files\n"
            "of a directory; another waits for it.\n"
            "\n"
            "Prints what changes in DEST: '+ NAME' added, '~ NAME FIELD: a -> b', then\n"
            "each record of SRC not taken and why: '= NAME not taken: ...'.  This\n"
            "report is written before DEST is saved; when it cannot be written, DEST\n"
            "is not saved.\n"
            "\n"
            "Exit status: 0 merged and saved, 1 refused or failed (DEST is then\n"
            "unchanged), 2 usage error.",
    .option_column = 19,
    .run = run,
};

}  // namespace psenv::par
