// The pieces of an experiment's walk that the parameter companion reads from
// the trees: the indirect dimensions, their quadrature parameters and, for a
// sparse run, the sampling schedule's points.
#ifndef PSG_WALK_PARTS_H
#define PSG_WALK_PARTS_H

#include <array>
#include <string>
#include <vector>

namespace psg {

constexpr int kMostDimensions = 3;
// An indirect dimension takes at most this many increments; the runner
// refuses experiments of more elements anyway.
constexpr int kMostIncrements = 1000000;

// A real parameter as found: the tree that holds it (1 before 0) and its
// whole value list, so that a walk can show one value at a time and put the
// list back afterwards.
struct RealParameter {
    std::string name;
    int tree = -1; // -1: exists in neither tree
    bool active = false;
    std::vector<double> values;

    bool exists() const { return tree >= 0; }
};

RealParameter read_real_parameter(const std::string &name);

// Rewrites the parameter's list as `values` (one value shows that value
// alone).  false when the record is gone or refuses the values.
bool store_real_values(const RealParameter &parameter, const std::vector<double> &values);

// Dimension j (1..3) steps d(j+1) by 1 / swj per increment; its increment
// count is "ni" (j = 1) or "nij", its quadrature parameter "phase" or
// "phasej".
struct IndirectDimension {
    int number = 1;
    int increments = 0;
    double spectral_width = 0.0;
    RealParameter delay;      // its first value is the start of the walk
    bool delay_created = false;
    RealParameter quadrature; // values > 1 give the components walked
};

std::string increments_name(int dimension);
std::string spectral_width_name(int dimension);
std::string delay_name(int dimension);
std::string quadrature_name(int dimension);

// The dimensions walked (ni at least 1 and active), in dimension order.
// false once a fault was reported through the error sink.
bool read_indirect_dimensions(std::vector<IndirectDimension> &dimensions);

// The points of a sparse run: one row per schedule point, the increment of
// every walked dimension (in the order of `dimensions`).
using GridPoint = std::array<int, kMostDimensions>;

// Reads "sampling"; true when it asks for a sparse run.
bool sparse_run_requested();

// Initialises the sampling module from tree 1, has it make or read the
// schedule in `expdir` and takes its rows.  `elements_per_point` names the
// first element of a faulty row.  false once a fault was reported.
bool read_schedule(const char *expdir, const std::vector<IndirectDimension> &dimensions,
                   int elements_per_point, std::vector<GridPoint> &points,
                   std::string &schedule_path);

} // namespace psg

#endif
