// psenv par merge: the selective transfer of one file into another.
#include <stdio_ext.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cli.h"
#include "cmd_par.h"
#include "par_diff.h"
#include "par_edit.h"
#include "par_format.h"
#include "par_strict.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

constexpr const char *kCommand = "par merge";

void print_help()
{
    std::puts("Usage: psenv par merge DEST SRC [--all] [--clear-bit] [--quiet] [--force]\n"
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
              "  --quiet          count the records not taken instead of listing them\n"
              "  --force          replace DEST even without write permission on it or\n"
              "                   when it has several hard links; merge files that repeat\n"
              "                   a record's name\n"
              "  --wait SECONDS   wait at most this long for another editor (default 10)\n\n"
              "DEST must be a regular file (a symbolic link to one is followed); DEST and\n"
              "SRC must pass 'psenv par check'.  One editor at a time changes the files\n"
              "of a directory; another waits for it.\n\n"
              "Prints what changes in DEST: '+ NAME' added, '~ NAME FIELD: a -> b', then\n"
              "each record of SRC not taken and why: '= NAME not taken: ...'.  This\n"
              "report is written before DEST is saved; when it cannot be written, DEST\n"
              "is not saved.\n\n"
              "Exit status: 0 merged and saved, 1 refused or failed (DEST is then\n"
              "unchanged), 2 usage error.");
}

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

// Writes the report and makes sure it reached standard output; false (said)
// when it did not, with nothing left to be written at exit.
bool write_report(const std::vector<std::string> &lines)
{
    for (const std::string &line : lines)
        std::puts(line.c_str());
    errno = 0;
    int failure = std::fflush(stdout) != 0 ? errno : 0;
    if (failure == 0 && std::ferror(stdout))
        failure = EIO;
    if (failure == 0)
        return true;
    error(std::string("error writing standard output: ") + std::strerror(failure));
    // Said once: what is left in the buffer is dropped.
    __fpurge(stdout);
    std::clearerr(stdout);
    return false;
}

bool refuse_source(const Checked &checked, const std::string &source, bool force)
{
    if (checked.whole == Whole::kUnreadable)
        error(source + ": " + checked.failure);
    else if (checked.whole == Whole::kYes && checked.repeats != 0 && !force)
        error(source + ": records repeat a name, and which of them ends up in DEST depends on "
                       "their order and bits (--force merges anyway)");
    else if (checked.whole == Whole::kYes)
        return false;
    return true;
}

}  // namespace

int merge(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false},
                               {"all", false},
                               {"clear-bit", false},
                               {"quiet", false},
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
    const bool all = args->has("all");
    const bool clear_bit = args->has("clear-bit");
    const bool force = args->has("force");

    const auto wait = lock_wait(args->get("wait"));
    if (!wait)
        return usage_error("--wait takes seconds from 0 to 3600", kCommand);

    auto edit = begin_edit(dest, force, *wait);
    if (!edit)
        return kExitFailure;
    const std::string unchanged = dest + ": not merged; it was left unchanged";
    switch (load_file(kTreeA, edit->file())) {
    case Load::kComplete:
        break;
    case Load::kIncomplete:
        error(dest + ": not all of the file could be read; it was left unchanged");
        return kExitFailure;
    case Load::kFailed:
        return kExitFailure;
    }
    const Checked checked = check_reported(source, source);
    if (refuse_source(checked, source, force)) {
        error(unchanged);
        return kExitFailure;
    }
    const std::vector<Param> before = collect(kTreeA);
    const std::vector<Skipped> skipped = records_not_taken(before, checked.records, all, clear_bit);
    int code = P_OK;
    const int messages = with_loader_messages(source, [&] {
        code = P_rtx(kTreeA, source.c_str(), all ? 1 : 0, clear_bit ? 1 : 0);
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
    if (reject_unsavable(kTreeA, dest))
        return kExitFailure;
    // The report first: "unchanged" must never be said of a saved file.
    std::vector<std::string> lines = tree_changes(before, collect(kTreeA));
    for (std::string &line : skipped_lines(skipped, checked.records, args->has("quiet")))
        lines.push_back(std::move(line));
    if (!write_report(lines)) {
        error(unchanged);
        return kExitFailure;
    }
    return edit->save(kTreeA) ? kExitOk : kExitFailure;
}

}  // namespace psenv::par
