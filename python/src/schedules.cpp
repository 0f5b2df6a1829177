// psenv.sched: making, reading, writing and checking schedules through the
// sampling module and its planner, as `psenv sched make|check` do.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <pybind11/stl.h>

#include "arrays.h"
#include "errors.h"
#include "module_lock.h"
#include "module_parts.h"
#include "psenv_util/unreadable.h"
#include "sparsamp.h"
#include "sparsamp_plan.h"
#include "sparsamp_plan_options.h"
#include "treekeep.h"

namespace py = pybind11;

namespace psenv::python {
namespace {

csplan_grid grid_of(const std::vector<int> &ni)
{
    if (ni.empty() || ni.size() > CSPLAN_MAX_DIMS)
        throw py::value_error("ni must give 1 to " + std::to_string(CSPLAN_MAX_DIMS) +
                              " dimensions");
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    for (std::size_t k = 0; k < ni.size(); ++k) {
        if (ni[k] < 1)
            throw py::value_error("ni must be at least 1 in every dimension");
        grid.ni[k] = ni[k];
    }
    return grid;
}

std::string suffix(std::size_t k)
{
    return k == 0 ? "" : std::to_string(k + 1);
}

// The sampling module's own generator, configured in tree 1 the way
// `psenv sched make` configures it from its options.
std::vector<int> make_uniform(const std::vector<int> &ni, const std::vector<double> &densities,
                              std::int32_t seed, std::size_t &rows)
{
    SymbolNode **root = getTreeRootByIndex(1);
    tossVars(root);
    auto set_real = [root](const std::string &name, double value) {
        assignReal(value, RcreateVar(name.c_str(), root, T_REAL), 0);
    };
    for (std::size_t k = 0; k < ni.size(); ++k) {
        set_real("ni" + suffix(k), ni[k]);
        set_real("CSdensity" + suffix(k), densities[k]);
    }
    set_real("CSseed", seed);
    const int status = CSinit(0, nullptr);
    tossVars(root);
    CSinfo info;
    CSgetInfo(&info);
    if (status != 0)
        throw py::value_error("the sampling grid would hold 2^31 points or more");
    if (info.xdim != static_cast<int>(ni.size()))
        throw py::value_error("every dimension of a uniform schedule needs ni above 1");
    CSmakeSched();
    const auto count = static_cast<std::size_t>(info.num);
    const auto width = static_cast<std::size_t>(info.xdim);
    std::vector<int> made(count * width);
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t k = 0; k < width; ++k)
            made[i * width + k] = static_cast<int>(getCSval(static_cast<int>(k), static_cast<int>(i)));
    // A made schedule's second row leaves the origin somewhere; without
    // memory every entry reads 0.
    bool left_origin = count < 2;
    for (std::size_t k = 0; k < width && !left_origin; ++k)
        left_origin = made[width + k] != 0;
    if (!left_origin)
        throw std::bad_alloc();
    rows = count;
    return made;
}

// The command line's words for its options turned into the keyword
// arguments of psenv.sched.make(): "--sine-portion" is `sine_portion`.
std::string in_python_words(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "--") == 0 && i + 2 < text.size() && std::islower(static_cast<unsigned char>(text[i + 2]))) {
            i += 2;
            for (; i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '-'); ++i)
                out += text[i] == '-' ? '_' : text[i];
            continue;
        }
        out += text[i++];
    }
    return out;
}

// sched.make(): the module's own generator for "uniform"; for the planner's
// methods the options the command line takes, read by the planner's table
// of options (csplan_options_set_all(), as `psenv sched make` reads them),
// then csplan_make().  `options` holds the planner's options as
// the command line would be given them ("walk" -> "radial", "last" -> "").
py::array_t<std::int32_t> make(const std::vector<int> &ni, const std::string &method,
                               std::optional<std::int64_t> points,
                               std::optional<std::vector<double>> density, std::int32_t seed,
                               const std::vector<std::pair<std::string, std::string>> &options)
{
    if (method != "uniform" && method != "poisson-gap" && method != "exponential")
        throw py::value_error("method must be uniform, poisson-gap or exponential, not '" + method + "'");
    const csplan_grid grid = grid_of(ni);
    std::vector<int> rows;
    std::size_t count = 0;
    if (method == "uniform") {
        if (points)
            throw py::value_error("points belongs to the other methods");
        for (const auto &[name, value] : options)
            throw py::value_error(in_python_words("--" + name) + " belongs to the other methods");
        if (!density)
            throw py::value_error("method uniform needs density: a percentage, or one per dimension");
        std::vector<double> densities = *density;
        if (densities.size() == 1)
            densities.assign(ni.size(), densities.front());
        if (densities.size() != ni.size())
            throw py::value_error("density needs one percentage, or one per dimension (" +
                                  std::to_string(ni.size()) + ")");
        for (int n : ni)
            if (n < 2)
                throw py::value_error("method uniform needs ni of at least 2 in every dimension");
        ModuleLock lock;
        rows = make_uniform(ni, densities, seed, count);
    } else {
        if (points.has_value() == density.has_value())
            throw py::value_error("give exactly one of points and density");
        if (density && density->size() != 1)
            throw py::value_error("density of method " + method + " is one percentage of the whole grid");
        const std::int64_t total = csplan_grid_points(&grid);
        if (total > CSPLAN_MOST_GENERATOR_POINTS)
            throw py::value_error("method " + method + " takes grids of up to " +
                                  std::to_string(CSPLAN_MOST_GENERATOR_POINTS) + " points; this one has " +
                                  (total == INT64_MAX ? std::string("more than 2^63") : std::to_string(total)));
        // As `sched make --density P`: P percent of the grid, rounded, at least one.
        const std::int64_t wanted =
            points ? *points
                   : std::max<std::int64_t>(1, static_cast<std::int64_t>(std::floor(
                                                    density->front() / 100.0 * static_cast<double>(total) + 0.5)));
        if (wanted < 1 || wanted > total)
            throw py::value_error("points must be from 1 to the grid's " + std::to_string(total) +
                                  " points, not " + std::to_string(wanted));
        csplan_options chosen;
        csplan_options_init(&chosen);
        chosen.points = wanted;
        chosen.seed = seed;
        std::vector<const char *> names;
        std::vector<const char *> values;
        std::size_t longest = 0;
        for (const auto &[name, value] : options) {
            names.push_back(name.c_str());
            values.push_back(value.c_str());
            longest = std::max(longest, name.size() + value.size());
        }
        // Room for a refused text quoted whole in the sentence.
        std::vector<char> refusal(longest + 256);
        int code = csplan_options_set_all(&chosen, &grid, method.c_str(), names.data(),
                                          values.data(), names.size(), refusal.data(),
                                          refusal.size());
        if (code == CSPLAN_ENOMEM)
            throw std::bad_alloc();
        if (code != CSPLAN_OK)
            throw py::value_error(in_python_words(refusal.data()));
        std::vector<std::int64_t> indices(static_cast<std::size_t>(wanted));
        char detail[256] = "";
        {
            ModuleLock lock;
            code = csplan_make(&grid, &chosen, indices.data(), wanted, nullptr, detail, sizeof detail);
            if (code == CSPLAN_OK) {
                rows.resize(indices.size() * ni.size());
                code = csplan_rows(&grid, indices.data(), wanted, rows.data(),
                                   static_cast<std::int64_t>(rows.size()));
            }
        }
        if (code == CSPLAN_ENOMEM)
            throw std::bad_alloc();
        if (code == CSPLAN_NOT_AVAILABLE)
            throw std::runtime_error("best_of: " + std::string(detail));
        if (code != CSPLAN_OK)
            throw py::value_error(in_python_words(detail[0] != '\0' ? detail : csplan_strerror(code)));
        count = static_cast<std::size_t>(wanted);
    }
    static_assert(sizeof(int) == sizeof(std::int32_t));
    std::vector<std::int32_t> data(rows.begin(), rows.end());
    return array_of(std::move(data), {static_cast<py::ssize_t>(count), static_cast<py::ssize_t>(ni.size())});
}

// The strict reading's findings for `path`, worded as `psenv sched show`
// warns of them.  Only a regular file is read twice: a FIFO would lose its
// rows to the warnings.
std::vector<std::string> warnings_about(const std::string &path)
{
    std::vector<std::string> warnings;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return warnings;
    csplan_check_report report{};
    int failure = 0;
    if (csplan_check_schedule(path.c_str(), nullptr, 0, &report, &failure) != CSPLAN_OK)
        return warnings;
    try {
        for (std::size_t i = 0; i < csplan_warning_count(&report); ++i) {
            std::vector<char> text(path.size() + 64 +
                                   (i < report.count ? std::strlen(report.problems[i].text) : 0));
            if (csplan_warning_text(path.c_str(), &report, i, text.data(), text.size()) == CSPLAN_OK)
                warnings.emplace_back(text.data());
        }
    } catch (...) {
        csplan_free_check_report(&report);
        throw;
    }
    csplan_free_check_report(&report);
    return warnings;
}

// sched.read(): the module's reader (as `psenv sched show|plot|psf` read),
// and the strict reading's findings as warnings.
std::tuple<py::array_t<std::int32_t>, std::vector<std::string>> read(const std::string &path)
{
    std::vector<int> data;
    std::vector<std::string> warnings;
    std::size_t count = 0;
    std::size_t width = 0;
    {
        ModuleLock lock;
        if (const int reason = util::unreadable(path.c_str()); reason != 0)
            throw FileFailure(reason, path);
        warnings = warnings_about(path);
        int columns = 0;
        char detail[CS_NAME_SIZE + 128] = "";
        if (CSreadSchedFile(path.c_str(), &columns, nullptr, detail, sizeof detail) != CS_READ_OK)
            throw py::value_error(detail[0] != '\0' ? detail : "cannot read " + path);
        count = static_cast<std::size_t>(getCSnum());
        width = static_cast<std::size_t>(columns);
        data.resize(count * width);
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t k = 0; k < width; ++k)
                data[i * width + k] = static_cast<int>(getCSval(static_cast<int>(k), static_cast<int>(i)));
    }
    std::vector<std::int32_t> rows(data.begin(), data.end());
    return {array_of(std::move(rows), {static_cast<py::ssize_t>(count), static_cast<py::ssize_t>(width)}),
            warnings};
}

// sched.write(): the one writer of the schedule file format.
void write(const std::string &path, const RowsArray &rows)
{
    const auto count = static_cast<std::int64_t>(rows.shape(0));
    const int columns = static_cast<int>(rows.shape(1));
    const int *data = rows.data();
    int failure = 0;
    int written = CSPLAN_OK;
    {
        ModuleLock lock;
        written = csplan_write_schedule(path.c_str(), data, count, columns, &failure);
    }
    if (written == CSPLAN_EIO)
        throw FileFailure(failure, path);
    if (written == CSPLAN_ENOMEM)
        throw std::bad_alloc();
    if (written != CSPLAN_OK)
        throw py::value_error(std::string("cannot write ") + path + ": " + csplan_strerror(written));
}

// sched.check(): the strict reading, as `psenv sched check` prints it.
std::tuple<std::vector<std::pair<long, std::string>>, long, int> check(
    const std::string &path, const std::optional<std::vector<int>> &ni)
{
    std::vector<std::pair<long, std::string>> problems;
    const std::vector<int> grid = ni.value_or(std::vector<int>{});
    if (ni)
        grid_of(grid);
    csplan_check_report report{};
    int failure = 0;
    int code = CSPLAN_OK;
    {
        ModuleLock lock;
        code = csplan_check_schedule(path.c_str(), grid.empty() ? nullptr : grid.data(),
                                     static_cast<int>(grid.size()), &report, &failure);
        for (std::size_t i = 0; code == CSPLAN_OK && i < report.count; ++i)
            problems.emplace_back(report.problems[i].line, report.problems[i].text);
    }
    const long rows = report.rows;
    const int columns = report.columns;
    csplan_free_check_report(&report);
    if (code == CSPLAN_EIO)
        throw FileFailure(failure, path);
    if (code == CSPLAN_ENOMEM)
        throw std::bad_alloc();
    if (code != CSPLAN_OK)
        throw py::value_error(csplan_strerror(code));
    return {problems, rows, columns};
}

}  // namespace

void add_schedules(py::module_ &module)
{
    module.def("sched_make", &make, py::arg("ni"), py::arg("method"), py::arg("points"),
               py::arg("density"), py::arg("seed"), py::arg("options"));
    module.def("sched_read", &read, py::arg("path"));
    module.def("sched_write", &write, py::arg("path"), py::arg("rows"));
    module.def("sched_check", &check, py::arg("path"), py::arg("ni"));
    // The planner's table of options: the ones the module's own generator refuses.
    module.def("sched_planned_options", [] {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < csplan_option_count(); ++i)
            names.emplace_back(csplan_option_at(i)->name);
        return names;
    });
}

}  // namespace psenv::python
