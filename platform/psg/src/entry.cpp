// The process entry of an experiment program: load the parameters, then run
// or draw the program's sequence once per array element.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "parameter_loading.h"
#include "psg.h"
#include "psgacq.h"
#include "psgparam.h"
#include "run_state.h"
#include "runner_options.h"
#include "svg_diagram.h"
#include "value_checks.h"

#ifndef PSENV_VERSION
#define PSENV_VERSION "unknown"
#endif

namespace {

using psg::kExitFailure;
using psg::Rendition;
using psg::RunnerOptions;

constexpr int kDefaultObserveChannel = 1;
constexpr int kDefaultDecouplerChannel = 2;

// The check before the sequence refuses what does not fit; 0 only stands in
// until it has spoken.
int rounded(double value)
{
    if (!psg::fits_int32_rounded(value))
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
    // Only the sequence's own reads are worth a warning about missing names.
    psgparam_warn_missing(1);
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
    psgparam_warn_missing(0);
}

std::string element_values(int element)
{
    char values[512];
    psgparam_element_values(element, values, sizeof values);
    return values;
}

// The drawings print the trace's element header when there is more than one
// element to tell apart.
void draw_header(int element, int elements, bool first_shown)
{
    if (elements < 2)
        return;
    if (!first_shown)
        std::fputc('\n', stdout);
    std::printf("element %d of %d\n", element, elements);
    std::string values = element_values(element);
    if (!values.empty())
        std::printf("arrayed: %s\n", values.c_str());
}

struct DiagramValues {
    psg::DiagramNames names;
    bool taken = false;
};

int write_diagram(const char *path, int element, const DiagramValues &values)
{
    const psgacq_event *events = nullptr;
    size_t count = psgacq_element_events(element, &events);
    if (!psg::write_svg_diagram(path, events, count, values.names)) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", psg::program_name(), path,
                     std::strerror(errno));
        return kExitFailure;
    }
    return 0;
}

// Standard output is checked once at the end: a trace lost on a full disk
// or a closed pipe is a failed run.
int close_standard_output()
{
    errno = 0;
    bool failed = std::fflush(stdout) != 0;
    int error = errno;
    failed = std::ferror(stdout) != 0 || failed;
    if (std::fclose(stdout) != 0 && !failed) {
        failed = true;
        error = errno;
    }
    if (!failed)
        return 0;
    std::fprintf(stderr, "%s: standard output: %s\n", psg::program_name(),
                 error != 0 ? std::strerror(error) : "write error");
    return kExitFailure;
}

int run(const RunnerOptions &options)
{
    psg::install_message_prefix();
    if (options.global != nullptr && !psg::load_parameter_file(0, options.global))
        return kExitFailure;
    if (!psg::load_parameter_file(1, options.parfile))
        return kExitFailure;
    int elements = psgparam_begin_experiment();
    if (elements < 1)
        return kExitFailure;
    if (elements > psg::kMostElements) {
        std::fprintf(stderr, "%s: array: the experiment has %d elements; a run takes at most %d\n",
                     psg::program_name(), elements, psg::kMostElements);
        return kExitFailure;
    }
    if (options.element > elements) {
        std::string count = std::to_string(elements) + (elements == 1 ? " element" : " elements");
        return psg::runner_usage_error(
            ("--element " + std::to_string(options.element) + ": the experiment has " + count)
                .c_str());
    }

    const int shown = options.element;   // 0: all
    const int last = options.rendition == Rendition::Run || shown == 0 ? elements : shown;
    const int diagram = shown == 0 ? 1 : shown;
    DiagramValues diagram_values;
    // The trace streams; only the element drawn needs its events afterwards.
    psgacq_keep(options.svg != nullptr ? diagram : PSGACQ_KEEP_NONE);
    for (int element = 1; element <= last; ++element) {
        if (psgparam_select_element(element) != 0) {
            std::fprintf(stderr, "%s: cannot select array element %d\n", psg::program_name(),
                         element);
            return kExitFailure;
        }
        fill_sequence_variables(element);
        psg::set_current_element(element);
        if (std::string broken = psg::check_sequence_variables(); !broken.empty()) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s: element %d: %s\n", psg::program_name(), element,
                         broken.c_str());
            return kExitFailure;
        }
        bool visible = shown == 0 || shown == element;
        if (options.rendition == Rendition::Run) {
            psgacq_set_trace(visible ? stdout : nullptr);
            psgacq_begin_labelled_element(element, elements, element_values(element).c_str());
        } else {
            psg::set_display_muted(!visible);
            if (visible)
                draw_header(element, elements, element == 1 || shown != 0);
        }
        call_sequence(options.rendition);
        if (options.rendition == Rendition::Run)
            psgacq_end_element();
        // The diagram's element labels its durations with its own values.
        if (element == diagram) {
            diagram_values.names = {d1, d2, pw, getval("pwx"), OBSch};
            diagram_values.names.title =
                std::string(psg::program_name()) + " \xE2\x80\x94 element " + std::to_string(element);
            diagram_values.taken = true;
        }
    }
    psg::set_display_muted(false);
    // Drawn only once every element passed its checks.
    if (options.svg != nullptr && diagram_values.taken)
        return write_diagram(options.svg, diagram, diagram_values);
    return 0;
}

void report_out_of_memory()
{
    std::fflush(stdout);
    if (int element = psg::current_element(); element > 0)
        std::fprintf(stderr, "%s: element %d: out of memory\n", psg::program_name(), element);
    else
        std::fprintf(stderr, "%s: out of memory\n", psg::program_name());
}

// Allocations fail deep inside the sequence's calls too, below C frames that
// no exception may cross: there the failure ends the run on the spot, without
// the destructors of objects that may be half-way through a change.
[[noreturn]] void out_of_memory()
{
    report_out_of_memory();
    std::fflush(nullptr);
    std::_Exit(kExitFailure);
}

int run_or_answer(int argc, char **argv)
{
    RunnerOptions options;
    if (int status = psg::parse_runner_options(argc, argv, options); status != 0)
        return status;
    if (options.help)
        psg::print_runner_usage(stdout);
    else if (options.version)
        std::printf("%s (psenv) %s\n", psg::program_name(), PSENV_VERSION);
    return options.help || options.version ? 0 : run(options);
}

} // namespace

int main(int argc, char **argv)
{
    psg::set_program_name(argc > 0 ? argv[0] : nullptr);
    std::set_new_handler(out_of_memory);
    int status = kExitFailure;
    try {
        status = run_or_answer(argc, argv);
    } catch (const std::bad_alloc &) {
        report_out_of_memory();
        return kExitFailure;
    }
    int output = close_standard_output();
    return status != 0 ? status : output;
}
