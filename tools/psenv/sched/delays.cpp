// psenv sched delays: a schedule's rows as delays (increment / spectral
// width), printed or written into a parameter file as `par set` writes.
#include <cstdio>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/parameter_file.h"
#include "par/guarded_edit.h"
#include "par/param_trees.h"
#include "sched/grid.h"
#include "sched/schedule.h"
#include "sparsamp_plan.h"
#include "treekeep.h"
#include "treekeep_files.h"
#include "vartree.h"

namespace psenv::sched {
namespace {

// A record's value count is a 16-bit field.
constexpr std::size_t kMostValues = P_MOST_VALUES;

// Makes `values` the values of the real parameter `name` in the edit's tree.
int set_delays(const std::string &parfile, const std::string &name,
               const std::vector<double> &values)
{
    par::Param param;
    if (!par::find_param(par::kFileTree, name, param)) {
        if (const int code = P_creatvar(par::kFileTree, name.c_str(), T_REAL); code != P_OK) {
            par::report(code, parfile + ": " + name + ": ");
            return kExitFailure;
        }
        error("created new real parameter '" + name + "' in " + parfile);
    } else if (param.type != T_REAL) {
        error(parfile + ": " + name + " is a string parameter; the file was left unchanged");
        return kExitFailure;
    } else if ((param.prot & par::kWriteProtect) != 0) {
        error(parfile + ": " + name + " is write protected; the file was left unchanged");
        return kExitFailure;
    } else if (param.max > param.min) {
        for (const double value : values)
            if (value < param.min || value > param.max) {
                error(parfile + ": the delay " + std::to_string(value) + " of " + name +
                      " lies outside its limits " + std::to_string(param.min) + " .. " +
                      std::to_string(param.max) + "; the file was left unchanged");
                return kExitFailure;
            }
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        // Index 0 makes the list exactly this value; the rest are appended.
        const int index = i == 0 ? 0 : static_cast<int>(i) + 1;
        const int code = P_setreal(par::kFileTree, name.c_str(), values[i], index);
        if (code != P_OK) {
            par::report(code, parfile + ": " + name + ": ");
            return kExitFailure;
        }
    }
    return kExitOk;
}

int write_delays(const Call &call, const std::string &parfile, const std::vector<double> &delays,
                 int columns)
{
    double wait = 0.0;
    if (const int status = par::lock_wait(call, wait); status != kExitOk)
        return status;
    const std::size_t rows = delays.size() / static_cast<std::size_t>(columns);
    if (rows > kMostValues) {
        error("the schedule has " + std::to_string(rows) + " rows; a parameter holds at most " +
              std::to_string(kMostValues) + " values");
        return kExitFailure;
    }
    par::Edit edit;
    if (const int status = edit.begin(parfile, false, wait); status != kExitOk)
        return status;
    if (par::load_file(par::kFileTree, edit.file()) != par::Load::kComplete) {
        error(parfile + ": not all of the file could be read; it was left unchanged");
        return kExitFailure;
    }
    for (int k = 0; k < columns; ++k) {
        std::vector<double> values(rows);
        for (std::size_t i = 0; i < rows; ++i)
            values[i] = delays[i * static_cast<std::size_t>(columns) + static_cast<std::size_t>(k)];
        if (const int status = set_delays(parfile, delay_name(k), values); status != kExitOk)
            return status;
    }
    if (const int status = par::refuse_unsavable(par::kFileTree, parfile); status != kExitOk)
        return status;
    return edit.save(par::kFileTree);
}

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("sched delays needs exactly one schedule file");
    if (args.has("wait") && !args.has("write"))
        return call.usage("--wait belongs to --write");
    std::vector<double> from_params;
    if (const auto params = args.get("params")) {
        tossVars(getTreeRootByIndex(VARTREE_CURRENT));
        if (const int status = load_parameters(*params, VARTREE_CURRENT); status != kExitOk)
            return status;
        from_params = widths_from_tree(VARTREE_CURRENT);
        tossVars(getTreeRootByIndex(VARTREE_CURRENT));
    }
    const std::string &path = args.operands.front();
    warn_about_schedule(path, {});
    Schedule schedule;
    if (const int status = load_schedule(path, schedule); status != kExitOk)
        return status;
    const int columns = schedule.dimensions();
    std::vector<double> widths;
    if (const int status = spectral_widths(call, columns, from_params, widths); status != kExitOk)
        return status;
    for (int k = 0; k < columns; ++k)
        if (!(widths[static_cast<std::size_t>(k)] > 0))
            return call.usage("dimension " + std::to_string(k + 1) + " needs its spectral width: "
                              "give --sw" + std::to_string(k + 1) + " S (Hz) or --params FILE "
                              "with sw" + std::to_string(k + 1));
    const std::size_t rows = schedule.rows();
    const std::vector<int> entries = schedule.row_major();
    std::vector<double> delays(entries.size());
    if (csplan_delays(entries.data(), static_cast<std::int64_t>(rows), columns, widths.data(),
                      delays.data(), static_cast<std::int64_t>(delays.size())) != CSPLAN_OK) {
        error(path + ": a row holds a negative increment, which is no delay");
        return kExitFailure;
    }
    if (const auto parfile = args.get("write"))
        return write_delays(call, *parfile, delays, columns);
    for (std::size_t i = 0; i < rows; ++i) {
        for (int k = 0; k < columns; ++k)
            std::printf("%s%.10g", k ? " " : "",
                        delays[i * static_cast<std::size_t>(columns) + static_cast<std::size_t>(k)]);
        std::putchar('\n');
    }
    return kExitOk;
}

constexpr Option kOptions[] = {
    {.name = "sw",
     .value = "S",
     .help = "spectral width of dimension J in Hz, for J = 1 .. 10",
     .numbered = Numbered::kFromOne},
    {"params", "FILE",
     "take the widths from the sw1, sw2, ... parameters of FILE\n"
     "(--swJ wins)"},
    {"write", "PARFILE",
     "print nothing; make the delays of dimension J the values\n"
     "of the parameter dJ+1 (d2, d3, ...) in the parameter file\n"
     "PARFILE, saved as 'psenv par set' saves: written beside\n"
     "it and renamed over it, one editor at a time, PARFILE\n"
     "checked strictly first.  An existing parameter keeps its\n"
     "attributes (it must be real, not write protected, and\n"
     "its limits must allow every delay); a missing one is\n"
     "created real"},
    {"wait", "SECONDS", "wait at most this long for another editor (default 10)"},
};

}  // namespace

extern constinit const Command kDelays{
    .name = "delays",
    .summary = "the rows as delays (increment / spectral width), printed or\n"
               "written into a parameter file",
    .usage = "FILE (--sw1 S [--sw2 S ...] | --params FILE)\n"
             "                          [--write PARFILE] [--wait SECONDS]",
    .usage_in_group = "FILE (--sw1 S [--sw2 S ...] | --params FILE) [--write PARFILE]",
    .options = kOptions,
    .help = "The delays of the rows of the schedule file FILE, for environments that\n"
            "take delay lists rather than schedules: the increment c of dimension J\n"
            "becomes c / swJ seconds (one dwell time per increment).  Printed one row\n"
            "per line, the dimensions separated by blanks, in seconds with ten\n"
            "significant digits.  Rows that read only because the reader is lenient\n"
            "(see 'psenv sched check') are warned about first, on standard error.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (the schedule cannot be read or has a\n"
            "negative entry, PARFILE refused or not saved, failed output), 2 usage\n"
            "error (a dimension without its width).",
    .run = run,
};

}  // namespace psenv::sched
