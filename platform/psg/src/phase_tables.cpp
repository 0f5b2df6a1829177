// Phase tables declared by the sequence, and the receiver phase.
#include "phase_tables.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "psg.h"
#include "psgacq.h"
#include "run_state.h"

namespace {

struct Table {
    std::string name;
    std::vector<int> entries;
};

struct Taken {
    size_t table;
    int phase;
};

std::vector<Table> tables;
std::vector<Taken> taken;

bool valid_name(const char *name)
{
    if (name == nullptr || name[0] == '\0' || std::strlen(name) > psg::kMostTableName)
        return false;
    for (const char *c = name; *c != '\0'; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)) && *c != '_')
            return false;
    return true;
}

const char *phase_rule()
{
    return "a phase is 0, 1, 2 or 3 (quarter turns: 0, 90, 180, 270 degrees)";
}

// "0, 1, 2, 3", cut with "..." where the event's field ends.
void entries_text(const std::vector<int> &entries, char (&field)[128])
{
    std::string text;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string next = (i == 0 ? "" : ", ") + std::to_string(entries[i]);
        if (text.size() + next.size() + 5 >= sizeof field) {
            text += ", ...";
            break;
        }
        text += next;
    }
    std::snprintf(field, sizeof field, "%s", text.c_str());
}

} // namespace

namespace psg {

void forget_phase_tables()
{
    tables.clear();
    taken.clear();
}

const char *table_of_phase(int phase)
{
    size_t match = taken.size();
    for (size_t i = 0; i < taken.size(); ++i)
        if (taken[i].phase == phase) {
            if (match != taken.size())
                return "";
            match = i;
        }
    if (match == taken.size())
        return "";
    const char *name = tables[taken[match].table].name.c_str();
    taken.erase(taken.begin() + static_cast<long>(match));
    return name;
}

void forget_taken_phases()
{
    taken.clear();
}

} // namespace psg

extern "C" int phasetable(const char *name, int length, const int *entries)
{
    if (!valid_name(name))
        psg::refuse("phasetable: a table's name is 1 to " +
                    std::to_string(psg::kMostTableName) +
                    " letters, digits or '_', not \"" + std::string(name != nullptr ? name : "") +
                    "\"");
    const std::string what = std::string("phasetable \"") + name + "\": ";
    if (length < 1 || length > psg::kMostTableEntries)
        psg::refuse(what + "length = " + std::to_string(length) + ": a table holds 1 to " +
                    std::to_string(psg::kMostTableEntries) + " entries");
    if (entries == nullptr)
        psg::refuse(what + "no entries given");
    for (int i = 0; i < length; ++i)
        if (entries[i] < 0 || entries[i] > 3)
            psg::refuse(what + "entry " + std::to_string(i + 1) + " = " +
                        std::to_string(entries[i]) + ": " + phase_rule());

    size_t at = 0;
    while (at < tables.size() && tables[at].name != name)
        ++at;
    if (at == tables.size())
        tables.push_back({name, {}});
    tables[at].entries.assign(entries, entries + length);

    psgacq_event event;
    std::memset(&event, 0, sizeof event);
    event.kind = PSGACQ_PHASE_TABLE;
    std::snprintf(event.text, sizeof event.text, "%s", name);
    event.integer[0] = length;
    entries_text(tables[at].entries, event.pattern);
    psgacq_send(&event);
    psg::forget_taken_phases();
    return static_cast<int>(at);
}

extern "C" int phaseof(int table)
{
    if (table < 0 || static_cast<size_t>(table) >= tables.size())
        psg::refuse("phaseof: table " + std::to_string(table) +
                    " was never declared (phasetable() returns a table's number)");
    const Table &t = tables[static_cast<size_t>(table)];
    const long long n = static_cast<long long>(t.entries.size());
    const int phase = t.entries[static_cast<size_t>((ct % n + n) % n)];
    taken.push_back({static_cast<size_t>(table), phase});
    return phase;
}

extern "C" void receiverphase(int phase)
{
    if (phase < 0 || phase > 3)
        psg::refuse("receiverphase: phase = " + std::to_string(phase) + ": " + phase_rule());
    psgacq_event event;
    std::memset(&event, 0, sizeof event);
    event.kind = PSGACQ_RECEIVER_PHASE;
    event.integer[0] = phase;
    std::snprintf(event.text, sizeof event.text, "%s", psg::table_of_phase(phase));
    psgacq_send(&event);
    psg::forget_taken_phases();
}
