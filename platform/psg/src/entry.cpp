// The process entry of an experiment program: load the parameters, then run
// or draw the program's sequence once per array element.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "experiment_plan.h"
#include "experiment_run.h"
#include "experiment_summary.h"
#include "parameter_loading.h"
#include "psg.h"
#include "psgacq.h"
#include "psgparam.h"
#include "rehearsal.h"
#include "run_state.h"
#include "runner_options.h"
#include "sequence_calls.h"
#include "svg_diagram.h"
#include "value_checks.h"

#ifndef PSENV_VERSION
#define PSENV_VERSION "unknown"
#endif

namespace {

using psg::kExitFailure;
using psg::Rendition;
using psg::RunnerOptions;

std::string description_of(int element)
{
    char lines[1024];
    psgparam_describe_walk_element(element, lines, sizeof lines);
    return lines;
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
    std::fputs(description_of(element).c_str(), stdout);
}

int write_diagram(const char *path, int element, const psg::DiagramSettings &settings)
{
    const psgacq_event *events = nullptr;
    size_t count = psgacq_element_events(element, &events);
    if (!psg::write_svg_diagram(path, events, count, settings)) {
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

// The experiment directory: where the parameter file lies, unless given.
std::string experiment_directory(const RunnerOptions &options)
{
    if (options.expdir != nullptr)
        return options.expdir;
    std::string parfile = options.parfile;
    size_t slash = parfile.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : parfile.substr(0, slash);
}

int draw(const RunnerOptions &options, int elements)
{
    const int shown = options.element; // 0: all
    const int last = shown == 0 ? elements : shown;
    for (int element = 1; element <= last; ++element) {
        if (psgparam_select_walk_element(element) != 0) {
            std::fprintf(stderr, "%s: cannot select element %d\n", psg::program_name(),
                         element);
            return kExitFailure;
        }
        psg::fill_sequence_variables(element, 0);
        psg::set_current_element(element);
        psg::set_current_scan(1, 1);
        if (std::string broken = psg::check_sequence_variables(); !broken.empty()) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s: element %d: %s\n", psg::program_name(), element,
                         broken.c_str());
            return kExitFailure;
        }
        bool visible = shown == 0 || shown == element;
        psg::set_display_muted(!visible);
        if (visible)
            draw_header(element, elements, element == 1 || shown != 0);
        psg::call_sequence(options.rendition);
    }
    psg::set_display_muted(false);
    return 0;
}

int run_experiment(const RunnerOptions &options, const psg::ExperimentPlan &plan)
{
    const int elements = plan.shape.elements;
    if (options.scan > plan.fewest_scans)
        return psg::runner_usage_error(("--scan " + std::to_string(options.scan) +
                                        ": an element of the experiment has " +
                                        std::to_string(plan.fewest_scans) +
                                        (plan.fewest_scans == 1 ? " scan" : " scans"))
                                           .c_str());
    const psg::Rehearsal rehearsal = psg::rehearse(plan);
    if (rehearsal.refused)
        return kExitFailure;

    const int diagram = options.element == 0 ? 1 : options.element;
    psg::PassSettings settings;
    settings.traced = !options.dry_run;
    settings.shown_element = options.element;
    settings.shown_scan = options.scan;
    settings.kept_element = options.svg != nullptr ? diagram : PSGACQ_KEEP_NONE;
    psg::PassTotals totals;
    if (!psg::run_pass(plan, elements, settings, totals))
        return kExitFailure;
    if (plan.summarised || options.dry_run) {
        std::string summary = psg::experiment_summary(plan, totals, rehearsal);
        if (settings.traced)
            std::fputc('\n', stdout);
        std::fputs(summary.c_str(), stdout);
    }
    // Drawn only once every element passed its checks.
    if (options.svg == nullptr)
        return 0;
    psg::DiagramSettings settings_of_diagram;
    if (psgparam_select_walk_element(diagram) == 0)
        psg::fill_sequence_variables(diagram, options.scan - 1);
    settings_of_diagram.observe_channel = OBSch;
    settings_of_diagram.title = std::string(psg::program_name()) + " \xE2\x80\x94 element " +
                                std::to_string(diagram);
    if (plan.fewest_scans > 1)
        settings_of_diagram.title += ", scan " + std::to_string(options.scan);
    return write_diagram(options.svg, diagram, settings_of_diagram);
}

int run(const RunnerOptions &options)
{
    psg::install_message_prefix();
    if (options.global != nullptr && !psg::load_parameter_file(0, options.global))
        return kExitFailure;
    if (!psg::load_parameter_file(1, options.parfile))
        return kExitFailure;
    const std::string expdir = experiment_directory(options);
    psgparam_walk shape;
    int elements = psgparam_begin_walk(expdir.c_str(), &shape);
    if (elements < 1)
        return kExitFailure;
    if (elements > psg::kMostElements) {
        // Without indirect dimensions, the array alone made them.
        std::fprintf(stderr, "%s: %s%d elements%s; a run takes at most %d\n", psg::program_name(),
                     shape.dimensions == 0 ? "array: the experiment has " : "the experiment has ",
                     elements,
                     shape.dimensions == 0 ? "" : " (increments x quadrature components x array "
                                                  "elements)",
                     psg::kMostElements);
        return kExitFailure;
    }
    if (options.element > elements) {
        std::string count = std::to_string(elements) + (elements == 1 ? " element" : " elements");
        return psg::runner_usage_error(
            ("--element " + std::to_string(options.element) + ": the experiment has " + count)
                .c_str());
    }
    if (options.rendition != Rendition::Run)
        return draw(options, elements);
    psg::ExperimentPlan plan;
    if (!psg::make_plan(plan))
        return kExitFailure;
    return run_experiment(options, plan);
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
