// The elements of a run: every point of the indirect dimensions (the whole
// grid, or a sparse schedule's rows), every array element of a point, every
// quadrature component of an array element.
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "errsink.h"
#include "psgparam.h"
#include "treekeep.h"
#include "walk_parts.h"

namespace {

using psg::GridPoint;
using psg::IndirectDimension;

struct Walk {
    std::vector<IndirectDimension> dimensions;
    bool sparse = false;
    bool full_grid = false;
    std::vector<GridPoint> schedule;
    std::string schedule_path;
    long long grid = 1;
    int arrayed = 1;
    int quadrature = 1;
    int elements = 1;
};

Walk walk;

int components(const IndirectDimension &dimension)
{
    const size_t n = dimension.quadrature.values.size();
    return n > 1 ? static_cast<int>(n) : 1;
}

long long points_walked()
{
    return walk.sparse && !walk.full_grid ? static_cast<long long>(walk.schedule.size())
                                          : walk.grid;
}

// In floating point: a schedule's rows times the quadrature components and
// array elements may pass any integer type before it is refused.
double elements_walked()
{
    return static_cast<double>(points_walked()) * walk.arrayed * walk.quadrature;
}

// Puts back what the previous walk changed: the stepped delays and the
// quadrature parameters show their whole lists again.
void restore_previous_walk()
{
    for (const IndirectDimension &dimension : walk.dimensions) {
        if (dimension.delay_created)
            P_deleteVar(dimension.delay.tree, dimension.delay.name.c_str());
        else if (dimension.delay.exists())
            psg::store_real_values(dimension.delay, dimension.delay.values);
        if (dimension.quadrature.exists() && !dimension.quadrature.values.empty())
            psg::store_real_values(dimension.quadrature, dimension.quadrature.values);
    }
    walk = Walk{};
}

struct Position {
    long long point = 0;
    int array_element = 1; // 1-based, as psgparam_select_element takes it
    int component = 0;
};

Position position_of(int element)
{
    long long rest = element - 1;
    Position at;
    at.component = static_cast<int>(rest % walk.quadrature);
    rest /= walk.quadrature;
    at.array_element = static_cast<int>(rest % walk.arrayed) + 1;
    at.point = rest / walk.arrayed;
    return at;
}

// Increment of every walked dimension at a point: a schedule row, or the
// grid counted like the digits of a number, dimension 1 fastest.
GridPoint increments_at(long long point)
{
    if (walk.sparse && !walk.full_grid)
        return walk.schedule[static_cast<size_t>(point)];
    GridPoint increments{};
    for (size_t at = 0; at < walk.dimensions.size(); ++at) {
        const int n = walk.dimensions[at].increments;
        increments[at] = static_cast<int>(point % n);
        point /= n;
    }
    return increments;
}

double delay_at(const IndirectDimension &dimension, int increment)
{
    return dimension.delay.values.front() + increment / dimension.spectral_width;
}

bool store_arraydim(int count)
{
    varInfo *record = rfindVar("arraydim", getTreeRoot(getRoot(1)));
    return record != nullptr && assignReal(count, record, 0) != 0;
}

std::string number_text(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool fits(double elements)
{
    if (elements <= INT_MAX)
        return true;
    Werrprintf("the experiment would have %.9g elements (increments x quadrature components x "
               "array elements); a run takes at most %d",
               elements, INT_MAX);
    return false;
}

} // namespace

extern "C" int psgparam_begin_walk(const char *expdir, psgparam_walk *shape)
{
    restore_previous_walk();
    const int arrayed = psgparam_begin_experiment();
    if (arrayed < 1)
        return -1;
    walk.arrayed = arrayed;
    if (!psg::read_indirect_dimensions(walk.dimensions)) {
        restore_previous_walk();
        return -1;
    }
    double quadrature = 1.0;
    for (const IndirectDimension &dimension : walk.dimensions) {
        walk.grid *= dimension.increments;
        quadrature *= components(dimension);
    }
    // The grid itself may be too large for a uniform run and still hold a
    // sparse schedule's rows.
    if (!fits(quadrature * walk.arrayed)) {
        restore_previous_walk();
        return -1;
    }
    walk.quadrature = static_cast<int>(quadrature);
    walk.sparse = psg::sparse_run_requested();
    if (walk.sparse &&
        !psg::read_schedule(expdir != nullptr ? expdir : ".", walk.dimensions,
                            walk.quadrature * walk.arrayed, walk.schedule, walk.schedule_path)) {
        restore_previous_walk();
        return -1;
    }
    if (!fits(elements_walked())) {
        restore_previous_walk();
        return -1;
    }
    walk.elements = static_cast<int>(elements_walked());
    if (!store_arraydim(walk.elements)) {
        Werrprintf("arraydim: cannot be stored");
        restore_previous_walk();
        return -1;
    }
    if (shape != nullptr)
        psgparam_walk_shape(shape);
    return walk.elements;
}

extern "C" void psgparam_walk_shape(psgparam_walk *shape)
{
    if (shape == nullptr)
        return;
    *shape = psgparam_walk{};
    shape->elements = static_cast<int>(elements_walked());
    shape->points = static_cast<int>(points_walked());
    shape->quadrature = walk.quadrature;
    shape->arrayed = walk.arrayed;
    shape->dimensions = static_cast<int>(walk.dimensions.size());
    for (size_t at = 0; at < walk.dimensions.size(); ++at)
        shape->increments[walk.dimensions[at].number - 1] = walk.dimensions[at].increments;
    shape->sparse = walk.sparse ? 1 : 0;
    shape->full_grid = walk.full_grid ? 1 : 0;
    shape->grid = static_cast<double>(walk.grid);
    shape->grid_elements = static_cast<double>(walk.grid) * walk.quadrature * walk.arrayed;
}

extern "C" int psgparam_walk_full_grid(int on)
{
    if (on && static_cast<double>(walk.grid) * walk.quadrature * walk.arrayed > INT_MAX)
        return -1;
    walk.full_grid = on != 0;
    return static_cast<int>(elements_walked());
}

extern "C" int psgparam_select_walk_element(int element)
{
    if (element < 1 || element > elements_walked())
        return -1;
    const Position at = position_of(element);
    if (psgparam_select_element(at.array_element) != 0)
        return -1;
    const GridPoint increments = increments_at(at.point);
    int rest = at.component;
    for (size_t k = 0; k < walk.dimensions.size(); ++k) {
        const IndirectDimension &dimension = walk.dimensions[k];
        if (!psg::store_real_values(dimension.delay, {delay_at(dimension, increments[k])}))
            return -1;
        const int n = components(dimension);
        if (dimension.quadrature.exists() && !dimension.quadrature.values.empty()) {
            const double value = dimension.quadrature.values[static_cast<size_t>(rest % n)];
            if (!psg::store_real_values(dimension.quadrature, {value}))
                return -1;
        }
        rest /= n;
    }
    return 0;
}

extern "C" int psgparam_walk_increment(int element, int dimension)
{
    if (element < 1 || element > elements_walked())
        return -1;
    const GridPoint increments = increments_at(position_of(element).point);
    for (size_t k = 0; k < walk.dimensions.size(); ++k)
        if (walk.dimensions[k].number == dimension)
            return increments[k];
    return dimension >= 1 && dimension <= psg::kMostDimensions ? 0 : -1;
}

extern "C" int psgparam_describe_walk_element(int element, char *buf, size_t size)
{
    std::string text;
    if (element >= 1 && element <= elements_walked()) {
        const Position at = position_of(element);
        const GridPoint increments = increments_at(at.point);
        std::string stepped, quadrature;
        int rest = at.component;
        for (size_t k = 0; k < walk.dimensions.size(); ++k) {
            const IndirectDimension &dimension = walk.dimensions[k];
            const int j = dimension.number;
            stepped += (k == 0 ? "" : ", ") + std::to_string(increments[k]) + " of " +
                       psg::increments_name(j) + " " + std::to_string(dimension.increments) +
                       " (" + psg::delay_name(j) + " " +
                       number_text(delay_at(dimension, increments[k])) + ")";
            const int n = components(dimension);
            if (n > 1) {
                const double value = dimension.quadrature.values[static_cast<size_t>(rest % n)];
                quadrature += (quadrature.empty() ? "" : ", ") + dimension.quadrature.name + " " +
                              number_text(value);
            }
            rest /= n;
        }
        if (!stepped.empty()) {
            text += "increment: " + stepped;
            if (walk.sparse && !walk.full_grid)
                text += "; schedule row " + std::to_string(at.point + 1) + " of " +
                        std::to_string(walk.schedule.size());
            text += "\n";
        }
        if (!quadrature.empty())
            text += "quadrature: " + quadrature + "\n";
        char values[512];
        psgparam_element_values(at.array_element, values, sizeof values);
        if (values[0] != '\0')
            text += std::string("arrayed: ") + values + "\n";
    }
    if (buf != nullptr && size > 0)
        std::snprintf(buf, size, "%s", text.c_str());
    return static_cast<int>(text.size());
}

extern "C" const char *psgparam_walk_schedule_path(void)
{
    return walk.sparse ? walk.schedule_path.c_str() : nullptr;
}
