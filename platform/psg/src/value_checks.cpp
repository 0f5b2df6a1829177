#include "value_checks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "psg.h"
#include "psgacq.h"
#include "psgparam.h"
#include "run_state.h"

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

} // namespace

bool fits_int32_rounded(double value)
{
    return value > -2147483648.5 && value < 2147483647.5;
}

const char *rule_broken(ValueRule rule, double value)
{
    switch (rule) {
    case ValueRule::Duration:
        return std::isfinite(value) && value >= 0.0 ? ""
                                                    : "a duration must be finite and not negative";
    case ValueRule::PulseWidth:
        return std::isfinite(value) && value >= 0.0
                   ? ""
                   : "a pulse width must be finite and not negative";
    case ValueRule::SpectralWidth:
        return std::isfinite(value) && value > 0.0
                   ? ""
                   : "a spectral width must be finite and positive";
    case ValueRule::Dwell:
        return std::isfinite(value) && value > 0.0 ? ""
                                                   : "a dwell time must be finite and positive";
    case ValueRule::Points:
        return whole(value) && value > 0.0 && std::fmod(value, 2.0) == 0.0
                   ? ""
                   : "the points count real and imaginary values: a positive even whole number";
    case ValueRule::Power:
        return std::isfinite(value) ? "" : "a power level must be finite";
    case ValueRule::Phase:
        return whole(value) && fits_int32_rounded(value)
                   ? ""
                   : "a phase must be a whole number from -2147483648 to 2147483647";
    case ValueRule::Channel:
        return fits_int32_rounded(value)
                   ? ""
                   : "a channel must be a finite number from -2147483648 to 2147483647";
    }
    return "";
}

std::string check_value(const char *what, ValueRule rule, double value)
{
    const char *why = rule_broken(rule, value);
    if (*why == '\0')
        return {};
    return std::string(what) + " = " + number_text(value) + ": " + why;
}

std::string check_sequence_variables()
{
    struct Variable {
        const char *name;
        ValueRule rule;
        double value;
    };
    // oph and the channels are whole numbers once written; their parameters
    // are what may not be (a value beyond 32 bits would be written as 0).
    const Variable variables[] = {
        {"d1", ValueRule::Duration, d1},       {"d2", ValueRule::Duration, d2},
        {"d3", ValueRule::Duration, d3},       {"d4", ValueRule::Duration, d4},
        {"pw", ValueRule::PulseWidth, pw},     {"rof1", ValueRule::Duration, rof1},
        {"rof2", ValueRule::Duration, rof2},   {"alfa", ValueRule::Duration, alfa},
        {"sw", ValueRule::SpectralWidth, sw},  {"np", ValueRule::Points, np},
        {"tpwr", ValueRule::Power, tpwr},      {"oph", ValueRule::Phase, 0.0},
        {"OBSch", ValueRule::Channel, 0.0},    {"DECch", ValueRule::Channel, 0.0},
    };
    for (const Variable &v : variables) {
        if (!psgparam_exists(v.name))
            continue;
        const bool integer = v.rule == ValueRule::Phase || v.rule == ValueRule::Channel;
        double value = integer ? getval(v.name) : v.value;
        std::string broken = check_value(v.name, v.rule, value);
        if (!broken.empty())
            return broken;
    }
    return {};
}

void require(const char *call, const char *what, ValueRule rule, double value)
{
    std::string broken = check_value(what, rule, value);
    if (broken.empty())
        return;
    psgacq_flush_scan();
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s: %s: %s\n", program_name(), location().c_str(), call,
                 broken.c_str());
    std::exit(1);
}

} // namespace psg
