// psenv sched: make, show and plot sparse sampling schedules.
#include <cstdio>
#include <string_view>

#include "cli.h"
#include "cmd_sched.h"
#include "cmd_sched_plan.h"
#include "commands.h"

namespace psenv {
namespace {

void print_help()
{
    std::puts("Usage: psenv sched make [options]\n"
              "       psenv sched show FILE [--ni N[,N2...] | --params FILE] [--no-rows]\n"
              "       psenv sched plot FILE --svg OUT [--dims A,B] [--ni N,... | --params FILE]\n"
              "       psenv sched psf FILE (--ni N[,N2...] | --params FILE) [--svg OUT]\n"
              "       psenv sched compare FILE FILE... (--ni N[,N2...] | --params FILE) [--svg OUT]\n"
              "       psenv sched check FILE [--ni N[,N2...] | --params FILE]\n"
              "       psenv sched delays FILE (--sw1 S [--sw2 S ...] | --params FILE) [--write PARFILE]\n\n"
              "Sparse sampling schedules of up to ten indirect dimensions.\n\n"
              "  make     configure sampling from parameters and options, make or read\n"
              "           the schedule (uniform, poisson-gap or exponential), write it\n"
              "           and print a summary\n"
              "  show     list a schedule file's rows and per-dimension statistics\n"
              "  plot     draw a schedule file as an SVG picture\n"
              "  psf      point-spread function of a schedule: sidelobes (the far one\n"
              "           outside the main lobe too) and gaps\n"
              "  compare  the point-spread figures of several schedules side by side,\n"
              "           ranked by the far sidelobe\n"
              "  check    report every row that reads only because the reader is lenient\n"
              "  delays   the rows as delays (increment / spectral width), printed or\n"
              "           written into a parameter file\n\n"
              "Run 'psenv sched <subcommand> --help' for its options.");
}

}  // namespace

int cmd_sched(int argc, char **argv)
{
    if (argc < 2)
        return usage_error("sched: missing subcommand", "sched");
    const std::string_view word = argv[1];
    if (word == "--help" || word == "-h") {
        print_help();
        return kExitOk;
    }
    if (word == "make")
        return sched::make(argc - 1, argv + 1);
    if (word == "show")
        return sched::show(argc - 1, argv + 1);
    if (word == "plot")
        return sched::plot(argc - 1, argv + 1);
    if (word == "psf")
        return sched::psf(argc - 1, argv + 1);
    if (word == "compare")
        return sched::compare(argc - 1, argv + 1);
    if (word == "check")
        return sched::check(argc - 1, argv + 1);
    if (word == "delays")
        return sched::delays(argc - 1, argv + 1);
    return usage_error("sched: unknown subcommand '" + std::string(word) + "'", "sched");
}

}  // namespace psenv
