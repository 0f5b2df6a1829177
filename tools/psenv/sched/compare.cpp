// psenv sched compare: the point-spread figures of several schedules.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/command.h"
#include "sched/point_spread.h"

namespace psenv::sched {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    csplan_grid grid{};
    if (const int status = psf_grid(call, grid); status != kExitOk)
        return status;
    if (args.operands.size() < 2)
        return call.usage("sched compare needs two or more schedule files");
    std::vector<csplan_psf_figures> all;
    for (const auto &path : args.operands) {
        csplan_psf_figures figures{};
        if (const int status = figures_of(path, grid, figures, nullptr); status != kExitOk)
            return status;
        all.push_back(figures);
    }
    std::vector<std::vector<std::string>> table;
    table.push_back({"schedule"});
    table.push_back({"points"});
    table.push_back({"density"});
    table.push_back({"max sidelobe"});
    table.push_back({"sidelobe at"});
    table.push_back({"peak-to-sidelobe"});
    for (int k = 0; k < grid.dimensions; ++k)
        table.push_back({"largest gap, dim " + std::to_string(k + 1)});
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto &f = all[i];
        table[0].push_back(args.operands[i]);
        table[1].push_back(std::to_string(f.points) + " of " + std::to_string(f.grid));
        table[2].push_back(share_text(f));
        table[3].push_back(sidelobe_text(f.max_sidelobe));
        table[4].push_back(frequency_text(grid, f));
        table[5].push_back(psr_text(f.max_sidelobe));
        for (int k = 0; k < grid.dimensions; ++k)
            table[static_cast<std::size_t>(6 + k)].push_back(std::to_string(f.largest_gap[k]));
    }
    std::vector<std::size_t> width(table[0].size(), 0);
    for (const auto &line : table)
        for (std::size_t c = 0; c < line.size(); ++c)
            width[c] = std::max(width[c], line[c].size());
    for (const auto &line : table) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size())
                text += std::string(width[c] - line[c].size() + 2, ' ');
        }
        std::puts(text.c_str());
    }
    return kExitOk;
}

constexpr std::string_view kUsage[] = {"FILE FILE... (--ni N[,N2...] | --params FILE)"};

constexpr Option kOptions[] = {
    {"ni", "N[,N2...]", "increments per dimension (the grid)"},
    {"params", "FILE", "take the grid from the ni, ni2, ... parameters of FILE"},
};

}  // namespace

extern constinit const Command kCompare{
    .name = "compare",
    .summary = "the point-spread figures of several schedules side by side",
    .usage = kUsage,
    .options = kOptions,
    .help = "The point-spread figures of 'psenv sched psf' for several schedule files\n"
            "of one grid, one column per file, after the warnings of each file (see\n"
            "'psenv sched psf').\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (a schedule cannot be read or does not\n"
            "fit the grid, failed output), 2 usage error or no FFT library (psenv\n"
            "built without FFTW3).",
    .run = run,
};

}  // namespace psenv::sched
