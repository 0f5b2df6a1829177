#include "acq_scan_compare.h"

#include <cstring>

namespace psg {
namespace {

bool same_reals(const psgacq_event &a, const psgacq_event &b)
{
    return std::memcmp(a.real, b.real, sizeof a.real) == 0;
}

bool same_texts(const psgacq_event &a, const psgacq_event &b)
{
    return std::strcmp(a.text, b.text) == 0 && std::strcmp(a.pattern, b.pattern) == 0;
}

// Everything but the phases and the names of the tables they came from.
bool same_call(const psgacq_event &a, const psgacq_event &b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case PSGACQ_PULSE:
        return same_reals(a, b) && a.integer[1] == b.integer[1];
    case PSGACQ_PULSE_PAIR:
        return same_reals(a, b) && a.integer[2] == b.integer[2] && a.integer[3] == b.integer[3];
    case PSGACQ_RECEIVER_PHASE:
        return true;
    default:
        return same_reals(a, b) && std::memcmp(a.integer, b.integer, sizeof a.integer) == 0 &&
               same_texts(a, b);
    }
}

void add_change(std::string &text, const char *table, const std::string &fallback, int phase)
{
    if (!text.empty())
        text += ", ";
    text += (table[0] != '\0' ? std::string(table) : fallback) + "=" + std::to_string(phase);
}

} // namespace

bool differs_only_in_phases(const std::vector<psgacq_event> &first,
                            const std::vector<psgacq_event> &scan)
{
    if (first.size() != scan.size())
        return false;
    for (size_t i = 0; i < first.size(); ++i)
        if (!same_call(first[i], scan[i]))
            return false;
    return true;
}

std::string phase_changes(const std::vector<psgacq_event> &first,
                          const std::vector<psgacq_event> &scan)
{
    std::string text;
    int pulse = 0;
    for (size_t i = 0; i < first.size() && i < scan.size(); ++i) {
        const psgacq_event &was = first[i];
        const psgacq_event &now = scan[i];
        switch (now.kind) {
        case PSGACQ_PULSE:
            ++pulse;
            if (now.integer[0] != was.integer[0])
                add_change(text, now.text, "pulse " + std::to_string(pulse), now.integer[0]);
            break;
        case PSGACQ_PULSE_PAIR:
            pulse += 2;
            if (now.integer[0] != was.integer[0])
                add_change(text, now.text, "pulse " + std::to_string(pulse - 1), now.integer[0]);
            if (now.integer[1] != was.integer[1])
                add_change(text, now.pattern, "pulse " + std::to_string(pulse), now.integer[1]);
            break;
        case PSGACQ_RECEIVER_PHASE:
            if (now.integer[0] != was.integer[0])
                add_change(text, now.text, "receiver", now.integer[0]);
            break;
        default:
            break;
        }
    }
    return text.empty() ? "phases as scan 1" : text;
}

} // namespace psg
