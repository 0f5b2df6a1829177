// psenv sched delays: a schedule's rows as delays (increment / spectral
// width), printed or written into a parameter file as `par set` writes.
#include <cstdio>
#include <string>
#include <vector>

#include "cmd_par.h"
#include "cmd_sched.h"
#include "cmd_sched_plan.h"
#include "par_edit.h"
#include "param_file.h"
#include "sparsamp_plan.h"
#include "treekeep.h"

namespace psenv::sched {
namespace {

constexpr const char *kCommand = "sched delays";
// A record's value count is a 16-bit field.
constexpr std::size_t kMostValues = 32767;

void print_help()
{
    std::puts("Usage: psenv sched delays FILE (--sw1 S [--sw2 S ...] | --params FILE)\n"
              "                          [--write PARFILE] [--wait SECONDS]\n\n"
              "The delays of the rows of the schedule file FILE, for environments that\n"
              "take delay lists rather than schedules: the increment c of dimension J\n"
              "becomes c / swJ seconds (one dwell time per increment).  Printed one row\n"
              "per line, the dimensions separated by blanks, in seconds with ten\n"
              "significant digits.  Rows that read only because the reader is lenient\n"
              "(see 'psenv sched check') are warned about first, on standard error.\n\n"
              "  --swJ S          spectral width of dimension J in Hz, for J = 1 .. 10\n"
              "  --params FILE    take the widths from the sw1, sw2, ... parameters of FILE\n"
              "                   (--swJ wins)\n"
              "  --write PARFILE  print nothing; make the delays of dimension J the values\n"
              "                   of the parameter dJ+1 (d2, d3, ...) in the parameter file\n"
              "                   PARFILE, saved as 'psenv par set' saves: written beside\n"
              "                   it and renamed over it, one editor at a time, PARFILE\n"
              "                   checked strictly first.  An existing parameter keeps its\n"
              "                   attributes (it must be real, not write protected, and\n"
              "                   its limits must allow every delay); a missing one is\n"
              "                   created real\n"
              "  --wait SECONDS   wait at most this long for another editor (default 10)\n\n"
              "Exit status: 0 success, 1 failure (the schedule cannot be read or has a\n"
              "negative entry, PARFILE refused or not saved, failed output), 2 usage\n"
              "error (a dimension without its width).");
}

// Makes `values` the values of the real parameter `name` in the edit's tree.
bool set_delays(const std::string &parfile, const std::string &name,
                const std::vector<double> &values)
{
    par::Param param;
    if (!par::find_param(par::kTreeA, name, param)) {
        if (const int code = P_creatvar(par::kTreeA, name.c_str(), T_REAL); code != P_OK) {
            par::report(code, parfile + ": " + name + ": ");
            return false;
        }
        error("created new real parameter '" + name + "' in " + parfile);
    } else if (param.type != T_REAL) {
        error(parfile + ": " + name + " is a string parameter; the file was left unchanged");
        return false;
    } else if ((param.prot & par::kWriteProtect) != 0) {
        error(parfile + ": " + name + " is write protected; the file was left unchanged");
        return false;
    } else if (param.max > param.min) {
        for (const double value : values)
            if (value < param.min || value > param.max) {
                error(parfile + ": the delay " + std::to_string(value) + " of " + name +
                      " lies outside its limits " + std::to_string(param.min) + " .. " +
                      std::to_string(param.max) + "; the file was left unchanged");
                return false;
            }
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        // Index 0 makes the list exactly this value; the rest are appended.
        const int index = i == 0 ? 0 : static_cast<int>(i) + 1;
        if (const int code = P_setreal(par::kTreeA, name.c_str(), values[i], index); code != P_OK) {
            par::report(code, parfile + ": " + name + ": ");
            return false;
        }
    }
    return true;
}

int write_delays(const Args &args, const std::string &parfile, const std::vector<double> &delays,
                 int columns)
{
    const auto wait = par::lock_wait(args.get("wait"));
    if (!wait)
        return usage_error("--wait takes seconds from 0 to 3600", kCommand);
    const std::size_t rows = delays.size() / static_cast<std::size_t>(columns);
    if (rows > kMostValues) {
        error("the schedule has " + std::to_string(rows) + " rows; a parameter holds at most " +
              std::to_string(kMostValues) + " values");
        return kExitFailure;
    }
    auto edit = par::begin_edit(parfile, false, *wait);
    if (!edit)
        return kExitFailure;
    if (par::load_file(par::kTreeA, edit->file()) != par::Load::kComplete) {
        error(parfile + ": not all of the file could be read; it was left unchanged");
        return kExitFailure;
    }
    for (int k = 0; k < columns; ++k) {
        std::vector<double> values(rows);
        for (std::size_t i = 0; i < rows; ++i)
            values[i] = delays[i * static_cast<std::size_t>(columns) + static_cast<std::size_t>(k)];
        if (!set_delays(parfile, delay_name(k), values))
            return kExitFailure;
    }
    if (par::reject_unsavable(par::kTreeA, parfile) ||
        !edit->save(par::kTreeA))
        return kExitFailure;
    return kExitOk;
}

}  // namespace

int delays(int argc, char **argv)
{
    int status = kExitOk;
    std::vector<OptionSpec> specs = {
        {"help", false}, {"params", true}, {"write", true}, {"wait", true}};
    for (const OptionSpec &spec : width_options())
        specs.push_back(spec);
    auto args = parse_command(argc, argv, 1, specs, kCommand, print_help, status);
    if (!args)
        return status;
    if (args->operands.size() != 1)
        return usage_error("sched delays needs exactly one schedule file", kCommand);
    if (args->has("wait") && !args->has("write"))
        return usage_error("--wait belongs to --write", kCommand);
    std::vector<double> from_params;
    if (const auto params = args->get("params")) {
        tossVars(getTreeRootByIndex(1));
        if (!load_parameter_file(*params, 1))
            return kExitFailure;
        from_params = widths_from_tree(1);
        tossVars(getTreeRootByIndex(1));
    }
    const std::string &path = args->operands.front();
    warn_about_schedule(path, {});
    const auto schedule = load_schedule(path);
    if (!schedule)
        return kExitFailure;
    const int columns = schedule->dimensions();
    const auto widths = spectral_widths(*args, columns, from_params, kCommand, status);
    if (!widths)
        return status;
    for (int k = 0; k < columns; ++k)
        if (!((*widths)[static_cast<std::size_t>(k)] > 0))
            return usage_error("dimension " + std::to_string(k + 1) + " needs its spectral width: "
                               "give --sw" + std::to_string(k + 1) + " S (Hz) or --params FILE "
                               "with sw" + std::to_string(k + 1),
                               kCommand);
    const std::size_t rows = schedule->rows();
    std::vector<int> entries(rows * static_cast<std::size_t>(columns));
    for (std::size_t i = 0; i < rows; ++i)
        for (int k = 0; k < columns; ++k)
            entries[i * static_cast<std::size_t>(columns) + static_cast<std::size_t>(k)] =
                schedule->columns[static_cast<std::size_t>(k)][i];
    std::vector<double> delays(entries.size());
    if (csplan_delays(entries.data(), static_cast<std::int64_t>(rows), columns, widths->data(),
                      delays.data(), static_cast<std::int64_t>(delays.size())) != CSPLAN_OK) {
        error(path + ": a row holds a negative increment, which is no delay");
        return kExitFailure;
    }
    if (const auto parfile = args->get("write"))
        return write_delays(*args, *parfile, delays, columns);
    for (std::size_t i = 0; i < rows; ++i) {
        for (int k = 0; k < columns; ++k)
            std::printf("%s%.10g", k ? " " : "",
                        delays[i * static_cast<std::size_t>(columns) + static_cast<std::size_t>(k)]);
        std::putchar('\n');
    }
    return kExitOk;
}

}  // namespace psenv::sched
