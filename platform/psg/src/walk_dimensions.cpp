// Indirect dimensions and their quadrature parameters, read and checked
// before anything runs: a fault found half-way through a 2D would waste it.
#include <cmath>
#include <cstdio>
#include <string>

#include "errsink.h"
#include "psgparam.h"
#include "treekeep.h"
#include "walk_parts.h"

namespace psg {
namespace {

std::string number_text(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool whole(double value)
{
    return std::isfinite(value) && value == std::trunc(value);
}

bool arrayed(const std::string &name)
{
    const char *listed = nullptr;
    for (int i = 0; (listed = psgparam_arrayed_name(i, nullptr)) != nullptr; ++i)
        if (name == listed)
            return true;
    return false;
}

// The walk sets these itself; an array over them would fight it.
bool refuse_arrayed(const IndirectDimension &dimension)
{
    const int j = dimension.number;
    const std::string ni = increments_name(j);
    for (const std::string &name : {ni, spectral_width_name(j), delay_name(j)})
        if (arrayed(name)) {
            Werrprintf("array: \"%s\" belongs to indirect dimension %d (%s = %d), which the run "
                       "walks itself; it cannot be arrayed as well",
                       name.c_str(), j, ni.c_str(), dimension.increments);
            return false;
        }
    if (arrayed(quadrature_name(j))) {
        Werrprintf("array: \"%s\" lists the quadrature components of dimension %d, which the "
                   "run walks itself; give it its values without arraying it",
                   quadrature_name(j).c_str(), j);
        return false;
    }
    return true;
}

bool read_quadrature(IndirectDimension &dimension, bool walked)
{
    const std::string name = quadrature_name(dimension.number);
    dimension.quadrature = read_real_parameter(name);
    const RealParameter &q = dimension.quadrature;
    if (!q.exists())
        return true;
    for (size_t i = 0; i < q.values.size(); ++i)
        if (!whole(q.values[i]) || q.values[i] < 1.0 || q.values[i] > 2147483647.0) {
            Werrprintf("%s = %s (value %zu): a quadrature component is a whole number from 1 "
                       "(1 and 2: the two components of a hypercomplex acquisition)",
                       name.c_str(), number_text(q.values[i]).c_str(), i + 1);
            return false;
        }
    if (!walked && q.values.size() > 1) {
        Werrprintf("%s has %zu values but indirect dimension %d is not walked (%s missing, 0 or "
                   "inactive): quadrature components belong to its increments",
                   name.c_str(), q.values.size(), dimension.number,
                   increments_name(dimension.number).c_str());
        return false;
    }
    return true;
}

// The delay the dimension steps; created at 0 when the files lack it, so
// that the sequence reads the stepped value under its usual name.
bool take_delay(IndirectDimension &dimension)
{
    const std::string name = delay_name(dimension.number);
    dimension.delay = read_real_parameter(name);
    if (dimension.delay.exists() && !dimension.delay.values.empty())
        return true;
    if (!dimension.delay.exists()) {
        if (RcreateVar(name.c_str(), getTreeRoot(getRoot(1)), T_REAL) == nullptr) {
            Werrprintf("%s: cannot be created for the increments of dimension %d", name.c_str(),
                       dimension.number);
            return false;
        }
        dimension.delay.tree = 1;
        dimension.delay_created = true;
    }
    // A delay without a value starts the walk at 0.
    dimension.delay.values = {0.0};
    return store_real_values(dimension.delay, dimension.delay.values);
}

// 1 when dimension j is walked, 0 when not, -1 after a reported fault.
int read_dimension(int j, IndirectDimension &dimension)
{
    dimension.number = j;
    const std::string ni_name = increments_name(j);
    const RealParameter ni = read_real_parameter(ni_name);
    bool walked = false;
    if (ni.exists() && ni.active && !ni.values.empty()) {
        const double n = ni.values.front();
        if (!whole(n) || n < 0.0 || n > kMostIncrements) {
            Werrprintf("%s = %s: the increments of indirect dimension %d are a whole number "
                       "from 0 to %d",
                       ni_name.c_str(), number_text(n).c_str(), j, kMostIncrements);
            return -1;
        }
        dimension.increments = static_cast<int>(n);
        walked = dimension.increments > 0;
    }
    if (!read_quadrature(dimension, walked))
        return -1;
    if (!walked)
        return 0;

    const std::string sw_name = spectral_width_name(j);
    const RealParameter sw = read_real_parameter(sw_name);
    if (!sw.exists() || sw.values.empty()) {
        Werrprintf("%s does not exist: %s = %d needs the spectral width of indirect dimension %d "
                   "(Hz)",
                   sw_name.c_str(), ni_name.c_str(), dimension.increments, j);
        return -1;
    }
    dimension.spectral_width = sw.values.front();
    if (!(std::isfinite(dimension.spectral_width) && dimension.spectral_width > 0.0)) {
        Werrprintf("%s = %s: the spectral width of indirect dimension %d must be finite and "
                   "positive (Hz)",
                   sw_name.c_str(), number_text(dimension.spectral_width).c_str(), j);
        return -1;
    }
    if (!refuse_arrayed(dimension) || !take_delay(dimension))
        return -1;
    return 1;
}

} // namespace

std::string increments_name(int dimension)
{
    return dimension == 1 ? "ni" : "ni" + std::to_string(dimension);
}

std::string spectral_width_name(int dimension)
{
    return "sw" + std::to_string(dimension);
}

std::string delay_name(int dimension)
{
    return "d" + std::to_string(dimension + 1);
}

std::string quadrature_name(int dimension)
{
    return dimension == 1 ? "phase" : "phase" + std::to_string(dimension);
}

RealParameter read_real_parameter(const std::string &name)
{
    RealParameter parameter;
    parameter.name = name;
    for (int tree : {1, 0}) {
        varInfo *record = rfindVar(name.c_str(), getTreeRoot(getRoot(tree)));
        if (record == nullptr)
            continue;
        parameter.tree = tree;
        parameter.active = record->active != 0;
        if (record->type == T_REAL) {
            int n = 0;
            for (ValueNode *node = record->values; node != nullptr && n < record->size;
                 node = node->next, ++n)
                parameter.values.push_back(node->real);
        }
        break;
    }
    return parameter;
}

bool store_real_values(const RealParameter &parameter, const std::vector<double> &values)
{
    varInfo *record = rfindVar(parameter.name.c_str(), getTreeRoot(getRoot(parameter.tree)));
    if (record == nullptr || values.empty())
        return false;
    for (size_t i = 0; i < values.size(); ++i)
        if (assignReal(values[i], record, i == 0 ? 0 : static_cast<int>(i) + 1) == 0)
            return false;
    return true;
}

bool read_indirect_dimensions(std::vector<IndirectDimension> &dimensions)
{
    dimensions.clear();
    for (int j = 1; j <= kMostDimensions; ++j) {
        IndirectDimension dimension;
        int walked = read_dimension(j, dimension);
        if (walked < 0)
            return false;
        if (walked > 0)
            dimensions.push_back(std::move(dimension));
    }
    return true;
}

} // namespace psg
