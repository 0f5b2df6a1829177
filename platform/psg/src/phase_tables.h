// Phase tables: what the sequence declared, and which table the phase of the
// call in progress came from, so that the trace and the diagram can name it.
#ifndef PSG_PHASE_TABLES_H
#define PSG_PHASE_TABLES_H

namespace psg {

// The longest table and name a sequence may declare.
constexpr int kMostTableEntries = 1024;
constexpr int kMostTableName = 31;

// Forget every table: a run starts without any.
void forget_phase_tables();

// The name of the table whose entry, taken by phaseof() since the previous
// primitive, is `phase`, when exactly one such entry was taken; "" when
// none was or several were (a name that might be wrong is no name).  The
// entry is used up.
const char *table_of_phase(int phase);

// Every primitive uses up the entries taken before it: a table's name goes
// only to the call the entry was taken for.
void forget_taken_phases();

} // namespace psg

#endif
