// psenv sched show: a schedule file's rows and per-dimension statistics.
#include <cstdio>
#include <string>

#include "cli.h"
#include "cmd_sched.h"

namespace psenv::sched {
namespace {

constexpr const char *kCommand = "sched show";

void print_help()
{
    std::puts("Usage: psenv sched show FILE\n\n"
              "Lists the rows of the schedule file FILE, then per dimension: how many\n"
              "distinct increments are sampled, the largest gap between sampled\n"
              "increments, and how much of the first quarter of the increments (where\n"
              "the signal is strongest) is sampled.  The increments of a dimension are\n"
              "taken as 0 up to its largest entry; delay names assume the dimensions\n"
              "follow ni, ni2, ... without gaps.\n\n"
              "  --no-rows   print the statistics only\n\n"
              "Exit status: 0 success, 1 failure (the schedule cannot be read, failed\n"
              "output), 2 usage error.");
}

void print_rows(const Schedule &schedule)
{
    std::printf("%6s", "row");
    for (int k = 0; k < schedule.dimensions(); ++k)
        std::printf(" %6s", delay_name(k).c_str());
    std::putchar('\n');
    for (std::size_t i = 0; i < schedule.rows(); ++i) {
        std::printf("%6zu", i);
        for (const auto &column : schedule.columns)
            std::printf(" %6d", column[i]);
        std::putchar('\n');
    }
}

void print_statistics(const Schedule &schedule)
{
    std::printf("%zu rows, %d dimension%s\n", schedule.rows(), schedule.dimensions(),
                schedule.dimensions() == 1 ? "" : "s");
    for (int k = 0; k < schedule.dimensions(); ++k) {
        const DimensionStats s = dimension_stats(schedule.columns[static_cast<std::size_t>(k)]);
        std::printf("dimension %d (%s): %d distinct increments in %d..%d, largest gap %lld, "
                    "first quarter %d of %d sampled (%.1f%%)\n",
                    k + 1, delay_name(k).c_str(), s.distinct, s.lowest, s.highest,
                    s.largest_gap, s.quarter_taken, s.quarter,
                    100.0 * s.quarter_taken / s.quarter);
    }
}

}  // namespace

int show(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"no-rows", false}},
                              kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("sched show needs exactly one schedule file", kCommand);
    const auto schedule = load_schedule(args->operands.front());
    if (!schedule)
        return kExitFailure;
    if (!args->has("no-rows"))
        print_rows(*schedule);
    print_statistics(*schedule);
    return kExitOk;
}

}  // namespace psenv::sched
