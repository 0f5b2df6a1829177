// The process entry of an experiment program: load the parameters, then run
// or draw the program's sequence once per array element.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "psg.h"
#include "psgacq.h"
#include "psgparam.h"
#include "run_state.h"
#include "svg_diagram.h"

namespace {

enum class Rendition { Run, Text, Timing };

struct Options {
    Rendition rendition = Rendition::Run;
    const char *svg = nullptr;
    const char *global = nullptr;
    const char *parfile = nullptr;
};

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int kDefaultObserveChannel = 1;
constexpr int kDefaultDecouplerChannel = 2;

void print_usage(FILE *stream)
{
    std::fprintf(stream,
                 "usage: %s [--draw text|timing] [--svg FILE] [--global FILE] PARFILE\n"
                 "\n"
                 "Runs the experiment's sequence once per array element with the parameters\n"
                 "of PARFILE and prints every call it makes, or draws it.\n"
                 "\n"
                 "  --draw text     print the sequence's text records instead of running it\n"
                 "  --draw timing   print the sequence's timing events instead of running it\n"
                 "  --svg FILE      also write the first element as an SVG timing diagram\n"
                 "                  (run mode only)\n"
                 "  --global FILE   load FILE into the global parameters first\n"
                 "  --help          show this help\n",
                 psg::program_name());
}

int usage_error(const char *message, const char *detail = "")
{
    std::fprintf(stderr, "%s: %s%s\n", psg::program_name(), message, detail);
    std::fprintf(stderr, "Try '%s --help'.\n", psg::program_name());
    return kExitUsage;
}

// 0 to go on, or the exit status.
int parse(int argc, char **argv, Options &options, bool &help)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool has_value = i + 1 < argc;
        if (arg == "--help") {
            help = true;
            return 0;
        }
        if (arg == "--draw" || arg == "--svg" || arg == "--global") {
            if (!has_value)
                return usage_error("missing value after ", argv[i]);
            const char *value = argv[++i];
            if (arg == "--svg") {
                options.svg = value;
            } else if (arg == "--global") {
                options.global = value;
            } else if (std::strcmp(value, "text") == 0) {
                options.rendition = Rendition::Text;
            } else if (std::strcmp(value, "timing") == 0) {
                options.rendition = Rendition::Timing;
            } else {
                return usage_error("--draw takes text or timing, not ", value);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage_error("unknown option ", argv[i]);
        } else if (options.parfile != nullptr) {
            return usage_error("more than one parameter file: ", argv[i]);
        } else {
            options.parfile = argv[i];
        }
    }
    if (options.parfile == nullptr)
        return usage_error("no parameter file given");
    if (options.svg != nullptr && options.rendition != Rendition::Run)
        return usage_error("--svg draws a run; it cannot go with --draw");
    return 0;
}

int rounded(double value)
{
    if (!(value > -2147483648.0 && value < 2147483647.0))
        return 0;
    return static_cast<int>(std::lround(value));
}

int channel(const char *name, int fallback)
{
    return psgparam_exists(name) ? rounded(getval(name)) : fallback;
}

void fill_sequence_variables(int element)
{
    getstr("dm", dm);
    getstr("homo", homo);
    d1 = getval("d1");
    d2 = getval("d2");
    pw = getval("pw");
    tpwr = getval("tpwr");
    rof1 = getval("rof1");
    rof2 = getval("rof2");
    alfa = getval("alfa");
    np = getval("np");
    sw = getval("sw");
    oph = rounded(getval("oph"));
    ix = element;
    OBSch = channel("OBSch", kDefaultObserveChannel);
    DECch = channel("DECch", kDefaultDecouplerChannel);
}

void call_sequence(Rendition rendition)
{
    switch (rendition) {
    case Rendition::Run:
        pulsesequence();
        break;
    case Rendition::Text:
        x_pulsesequence();
        break;
    case Rendition::Timing:
        t_pulsesequence();
        break;
    }
}

int write_diagram(const char *path)
{
    const psgacq_event *events = nullptr;
    size_t count = psgacq_element_events(1, &events);
    psg::DiagramNames names{d1, d2, pw, getval("pwx"), OBSch};
    if (!psg::write_svg_diagram(path, events, count, names)) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", psg::program_name(), path,
                     std::strerror(errno));
        return kExitFailure;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    psg::set_program_name(argc > 0 ? argv[0] : nullptr);
    Options options;
    bool help = false;
    if (int status = parse(argc, argv, options, help); status != 0)
        return status;
    if (help) {
        print_usage(stdout);
        return 0;
    }

    if (options.global != nullptr && psgparam_load(0, options.global) != 0)
        return kExitFailure;
    if (psgparam_load(1, options.parfile) != 0)
        return kExitFailure;
    int elements = psgparam_begin_experiment();
    if (elements < 1) {
        std::fprintf(stderr, "%s: cannot set arraydim\n", psg::program_name());
        return kExitFailure;
    }

    psgacq_set_trace(options.rendition == Rendition::Run ? stdout : nullptr);
    int exit_status = 0;
    for (int element = 1; element <= elements; ++element) {
        if (psgparam_select_element(element) != 0) {
            std::fprintf(stderr, "%s: cannot select array element %d\n", psg::program_name(),
                         element);
            return kExitFailure;
        }
        fill_sequence_variables(element);
        psg::set_current_element(element);
        psgacq_begin_element(element, elements);
        call_sequence(options.rendition);
        psgacq_end_element();
        // Element 1's own values label the diagram.
        if (element == 1 && options.svg != nullptr)
            exit_status = write_diagram(options.svg);
    }
    std::fflush(stdout);
    return exit_status;
}
