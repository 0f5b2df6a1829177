#include "runner_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "run_state.h"

namespace psg {
namespace {

// A whole decimal number from 1 to INT_MAX, the whole token and nothing else.
bool element_number(const char *text, int &value)
{
    if (text[0] < '0' || text[0] > '9')
        return false;
    errno = 0;
    char *end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < 1 || parsed > INT_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool takes_value(std::string_view name)
{
    return name == "--draw" || name == "--svg" || name == "--global" || name == "--element" ||
           name == "--scan" || name == "--expdir";
}

int apply(std::string_view name, const char *value, RunnerOptions &options)
{
    // Caught here, not after a whole run that then cannot write or load "".
    if ((name == "--svg" || name == "--global" || name == "--expdir") && *value == '\0')
        return runner_usage_error((std::string(name) + " needs a file name, not an empty "
                                                       "value").c_str());
    if (name == "--expdir") {
        options.expdir = value;
    } else if (name == "--scan") {
        if (!element_number(value, options.scan))
            return runner_usage_error("--scan takes a whole number from 1, not ", value);
    } else if (name == "--svg") {
        options.svg = value;
    } else if (name == "--global") {
        options.global = value;
    } else if (name == "--element") {
        if (!element_number(value, options.element))
            return runner_usage_error("--element takes a whole number from 1, not ", value);
    } else if (std::strcmp(value, "text") == 0) {
        options.rendition = Rendition::Text;
    } else if (std::strcmp(value, "timing") == 0) {
        options.rendition = Rendition::Timing;
    } else {
        return runner_usage_error("--draw takes text or timing, not ", value);
    }
    return 0;
}

} // namespace

int runner_usage_error(const char *message, const char *detail)
{
    std::fprintf(stderr, "%s: %s%s\n", program_name(), message, detail);
    std::fprintf(stderr, "%s: try '%s --help'\n", program_name(), program_name());
    return kExitUsage;
}

void print_runner_usage(FILE *stream)
{
    std::fprintf(stream,
                 "usage: %s [--draw text|timing] [--svg FILE] [--element N] [--scan N]\n"
                 "       %*s [--dry-run] [--expdir DIR] [--global FILE] PARFILE\n"
                 "\n"
                 "Runs the experiment's sequence with the parameters of PARFILE, nt scans of\n"
                 "every element (every increment of the indirect dimensions, quadrature\n"
                 "component and array element), and prints every call it makes, or draws it.\n"
                 "Values the hardware would refuse (negative or non-finite times, sw not\n"
                 "positive, np not a positive even whole number, ...) stop the run before the\n"
                 "sequence or at the primitive; bad increments, scan counts, phase tables and\n"
                 "schedules stop it before anything runs.\n"
                 "\n"
                 "  --draw text     print the sequence's text records instead of running it\n"
                 "  --draw timing   print the sequence's timing events instead of running it\n"
                 "  --svg FILE      also write one element as an SVG timing diagram (run mode\n"
                 "                  only; element 1 unless --element says otherwise)\n"
                 "  --element N     show only element N in the trace, the drawing and the\n"
                 "                  diagram (every element still runs)\n"
                 "  --scan N        trace scan N of each element in full (the others as one\n"
                 "                  line each) and draw that scan; default 1\n"
                 "  --dry-run       print only the experiment's time, without the trace\n"
                 "  --expdir DIR    experiment directory, where a sparse run's schedule is\n"
                 "                  made or read (default: the folder of PARFILE)\n"
                 "  --global FILE   load FILE into the global parameters first\n"
                 "  -h, --help      show this help\n"
                 "  --version       show the version\n"
                 "\n"
                 "An option's value may also follow it after '=', as in --svg=FILE.\n"
                 "An experiment of more than %d elements, or of more than %lld scans, is\n"
                 "refused before it runs.\n"
                 "Exit status: 0 success, 1 a failed load, check, abort or write, or too\n"
                 "little memory, 2 usage error.\n",
                 program_name(), static_cast<int>(std::strlen(program_name())), "",
                 kMostElements, kMostScans);
}

int parse_runner_options(int argc, char **argv, RunnerOptions &options)
{
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (!options_done && (arg == "--help" || arg == "-h")) {
            options.help = true;
            return 0;
        }
        if (!options_done && arg == "--version") {
            options.version = true;
            return 0;
        }
        if (!options_done && arg == "--dry-run") {
            options.dry_run = true;
            continue;
        }
        if (!options_done && arg == "--") {
            options_done = true;
            continue;
        }
        if (!options_done && arg.size() > 1 && arg[0] == '-') {
            size_t equals = arg.find('=');
            std::string name(arg.substr(0, equals));
            if (!takes_value(name))
                return runner_usage_error("unknown option ", argv[i]);
            const char *value = nullptr;
            if (equals != std::string_view::npos)
                value = argv[i] + equals + 1;
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return runner_usage_error("missing value after ", argv[i]);
            if (int status = apply(name, value, options); status != 0)
                return status;
        } else if (options.parfile != nullptr) {
            return runner_usage_error("more than one parameter file: ", argv[i]);
        } else {
            options.parfile = argv[i];
        }
    }
    if (options.parfile == nullptr)
        return runner_usage_error("no parameter file given");
    if (options.svg != nullptr && options.rendition != Rendition::Run)
        return runner_usage_error("--svg draws a run; it cannot go with --draw");
    if (options.dry_run && options.rendition != Rendition::Run)
        return runner_usage_error("--dry-run times a run; it cannot go with --draw");
    return 0;
}

} // namespace psg
