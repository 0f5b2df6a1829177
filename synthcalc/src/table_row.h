// One row of the lock-frequency table, looked up under systemdir.
#ifndef PSENV_SYNTHCALC_TABLE_ROW_H
#define PSENV_SYNTHCALC_TABLE_ROW_H

namespace synthcalc {

struct TableRow {
    double synthif = 0.0;
    char sense[2] = {'\0', '\0'};
    double lockref = 0.0;

    bool adds() const { return sense[0] == '+'; }
};

// The row for `key` of the table under systemdir; false when the path does
// not fit or the table has no such row.  Writes the row's debug line while
// bgflag is set.
bool lookup_row(int key, TableRow &row);

}  // namespace synthcalc

#endif
