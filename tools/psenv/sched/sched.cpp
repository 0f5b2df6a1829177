// psenv sched: make, show and plot sparse sampling schedules.
#include "core/command.h"

namespace psenv::sched {

extern constinit const Command kSched{
    .name = "sched",
    .summary = "make, show and plot sparse sampling schedules",
    .help = "Sparse sampling schedules of up to ten indirect dimensions.\n"
            "\n"
            "{commands}\n"
            "\n"
            "Run 'psenv sched <subcommand> --help' for its options.",
};

}  // namespace psenv::sched
