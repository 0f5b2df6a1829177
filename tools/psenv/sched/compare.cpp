// psenv sched compare: the point-spread figures of several schedules side by
// side, ranked by the far sidelobe, and on one scale in a picture.
#include <algorithm>
#include <cstdio>
#include <numeric>

#include "core/command.h"
#include "sched/psf_views.h"

namespace psenv::sched {
namespace {

void print_table(const std::vector<std::vector<std::string>> &table)
{
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
}

int run(const Call &call)
{
    const Args &args = call.args;
    PsfSetup setup;
    if (const int status = psf_setup(call, setup); status != kExitOk)
        return status;
    if (args.operands.size() < 2)
        return call.usage("sched compare needs two or more schedule files");
    std::vector<PsfView> views(args.operands.size());
    for (std::size_t i = 0; i < views.size(); ++i)
        if (const int status = psf_of(args.operands[i], setup, views[i], setup.svg.has_value());
            status != kExitOk)
            return status;

    // Lowest far sidelobe first; equal ones in the order given.
    std::vector<std::size_t> order(views.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&views](std::size_t a, std::size_t b) {
        return views[a].far.far_sidelobe < views[b].far.far_sidelobe;
    });
    std::vector<std::size_t> rank(views.size());
    for (std::size_t r = 0; r < order.size(); ++r)
        rank[order[r]] = r + 1;

    const int dims = setup.grid.dimensions;
    std::vector<std::vector<std::string>> table = {
        {"schedule"},         {"points"},          {"density"},
        {"max sidelobe"},     {"sidelobe at"},     {"peak-to-sidelobe"},
        {"far sidelobe"},     {"far sidelobe at"}, {"far peak-to-sidelobe"},
        {"rank (far sidelobe)"}};
    for (int k = 0; k < dims; ++k)
        table.push_back({"largest gap, dim " + std::to_string(k + 1)});
    for (std::size_t i = 0; i < views.size(); ++i) {
        const auto &f = views[i].figures;
        const auto &far = views[i].far;
        const std::vector<std::string> column = {
            args.operands[i],
            std::to_string(f.points) + " of " + std::to_string(f.grid),
            share_text(f),
            sidelobe_text(f.max_sidelobe) + (far.shoulder ? " (shoulder)" : ""),
            frequency_text(setup, f.at),
            psr_text(f.max_sidelobe),
            sidelobe_text(far.far_sidelobe),
            frequency_text(setup, far.at),
            psr_text(far.far_sidelobe),
            std::to_string(rank[i])};
        for (std::size_t row = 0; row < column.size(); ++row)
            table[row].push_back(column[row]);
        for (int k = 0; k < dims; ++k)
            table[column.size() + static_cast<std::size_t>(k)].push_back(
                std::to_string(f.largest_gap[k]));
    }
    print_table(table);
    std::string ranked;
    for (const std::size_t i : order)
        ranked += (ranked.empty() ? "" : ", ") + args.operands[i];
    std::printf("ranked by the far sidelobe (the largest |F(k)| / |F(0)| outside the main lobe "
                "|k| <= %d), lowest first: %s\n",
                setup.exclude, ranked.c_str());
    if (std::any_of(views.begin(), views.end(), [](const PsfView &v) { return v.far.shoulder; }))
        std::printf("note: a max sidelobe marked (shoulder) lies inside the main lobe: a "
                    "shoulder of the broadened peak, not an artefact\n");
    return setup.svg ? write_psf_picture(setup, views) : kExitOk;
}

constexpr Option kOptions[] = {
    {"ni", "N[,N2...]", "increments per dimension (the grid)"},
    {"params", "FILE", "take the grid (and sw1, sw2, ...) from the parameters of FILE"},
    {"exclude", "W", "the main lobe's half-width (default 2)"},
    {"svg", "OUT", "draw every schedule's |F| side by side on one scale"},
    {"scale", "S",
     "that scale: fixed:X or db:F; by default 0 to the largest max\n"
     "sidelobe of them all (heat maps) or to the peak (lines)"},
    {.name = "sw",
     .value = "S",
     .help = "spectral width of dimension J in Hz (positions and axes in Hz)",
     .numbered = Numbered::kFromOne},
};

}  // namespace

extern constinit const Command kCompare{
    .name = "compare",
    .summary = "the point-spread figures of several schedules side by side,\n"
               "ranked by the far sidelobe",
    .usage = "FILE FILE... (--ni N[,N2...] | --params FILE)\n"
             "                    [--exclude W] [--svg OUT] [--scale fixed:X|db:F] [--sw1 S] ...",
    .usage_in_group = "FILE FILE... (--ni N[,N2...] | --params FILE) [--svg OUT]",
    .options = kOptions,
    .help = "The point-spread figures of 'psenv sched psf' for several schedule files\n"
            "of one grid, one column per file, after the warnings of each file (see\n"
            "'psenv sched psf'), and their rank by the far sidelobe (the largest\n"
            "sidelobe outside the main lobe |k| <= W), lowest first: the max sidelobe\n"
            "of a weighted schedule on a longer grid is the shoulder of its broadened\n"
            "peak and would rank it below plain random sampling, which is no cleaner\n"
            "away from the centre.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (a schedule cannot be read or does not\n"
            "fit the grid, OUT cannot be written, failed output), 2 usage error or no\n"
            "FFT library (psenv built without FFTW3).",
    .run = run,
};

}  // namespace psenv::sched
