#include "recording_psg.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "psgparam.h"

namespace recording {
namespace {

Library the_library;

void record(const std::string &call)
{
    the_library.calls.push_back(call);
}

} // namespace

std::string exact(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

Library &library()
{
    return the_library;
}

void reset()
{
    the_library = Library{};
    the_library.reals = {{"pwx", 12.5e-6}, {"pwxlvl", 48}, {"Hdpwr", 40},
                         {"compH", 0.9}, {"pw90", 90e-6}, {"arraydim", 1}};
    the_library.texts = {{"rcvrs", "yy"}, {"mrmode", "s"}};
    std::memset(dm, 0, sizeof dm);
    std::memset(homo, 0, sizeof homo);
    std::strcpy(dm, "nnn");
    std::strcpy(homo, "n");
    d1 = 1.0;
    d2 = 2.5e-3;
    pw = 9.5e-6;
    tpwr = 56;
    rof1 = 10e-6;
    rof2 = 4e-6;
    alfa = 6e-6;
    np = 16384;
    sw = 8000;
    oph = 0;
    ix = 1;
    OBSch = 1;
    DECch = 2;
}

std::vector<std::string> calls_named(const std::string &prefix)
{
    std::vector<std::string> found;
    for (const std::string &call : the_library.calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    return found;
}

} // namespace recording

using recording::record;

namespace {
std::string real(double value)
{
    return recording::exact(value);
}
} // namespace
using recording::the_library;

extern "C" double getval(const char *name)
{
    record(std::string("getval(") + name + ")");
    auto found = the_library.reals.find(name);
    return found != the_library.reals.end() ? found->second : 0.0;
}

extern "C" int getstr(const char *name, char *buf)
{
    record(std::string("getstr(") + name + ")");
    auto found = the_library.texts.find(name);
    std::snprintf(buf, 256, "%s", found != the_library.texts.end() ? found->second.c_str() : "");
    return found != the_library.texts.end() ? 0 : -1;
}

// Records and returns: the sequence itself must issue nothing afterwards.
extern "C" void psg_abort(int code)
{
    ++the_library.aborts;
    record("psg_abort(" + std::to_string(code) + ")");
}

extern "C" void status(int n)
{
    record("status(" + std::to_string(n) + ")");
}

extern "C" void delay(double time)
{
    record("delay(" + real(time) + ")");
}

extern "C" void genPower(double power, int channel)
{
    record("genPower(" + real(power) + ", " + std::to_string(channel) + ")");
}

extern "C" void genRFPulse(double width, int phase, double r1, double r2, int channel)
{
    record("genRFPulse(" + real(width) + ", " + std::to_string(phase) + ", " + real(r1) + ", " +
           real(r2) + ", " + std::to_string(channel) + ")");
}

extern "C" void gensim_pulse(double width1, double width2, int phase1, int phase2, double r1,
                             double r2, int channel1, int channel2)
{
    record("gensim_pulse(" + real(width1) + ", " + real(width2) + ", " + std::to_string(phase1) +
           ", " + std::to_string(phase2) + ", " + real(r1) + ", " + real(r2) + ", " +
           std::to_string(channel1) + ", " + std::to_string(channel2) + ")");
}

extern "C" void setactivercvrs(const char *mask)
{
    record(std::string("setactivercvrs(") + mask + ")");
}

extern "C" void startacq(double a)
{
    record("startacq(" + real(a) + ")");
}

extern "C" void acquire(double points, double dwell)
{
    record("acquire(" + real(points) + ", " + real(dwell) + ")");
}

extern "C" void endacq(void)
{
    record("endacq()");
}

extern "C" void genBlankOnOff(int flag, int channel)
{
    record("genBlankOnOff(" + std::to_string(flag) + ", " + std::to_string(channel) + ")");
}

extern "C" wavl_shape wavl_mix(const char *name, const char *pattern, double power,
                               double pulse90, double refpower)
{
    record(std::string("wavl_mix(") + name + ", " + pattern + ", " + real(power) + ", " +
           real(pulse90) + ", " + real(refpower) + ")");
    wavl_shape shape{};
    std::snprintf(shape.name, sizeof shape.name, "%s", name);
    std::snprintf(shape.pattern, sizeof shape.pattern, "%s", pattern);
    shape.power = power;
    shape.pulse90 = pulse90;
    shape.refpower = refpower;
    return shape;
}

extern "C" void wavl_xmtron(wavl_shape *shape)
{
    record("wavl_xmtron(" + std::string(shape->name) + " at " + real(shape->power) + ")");
}

extern "C" void wavl_xmtroff(void)
{
    record("wavl_xmtroff()");
}

extern "C" void DPStimer(int code, int zero1, int zero2, int count, ...)
{
    std::string call = "DPStimer(" + std::to_string(code) + ", " + std::to_string(zero1) + ", " +
                       std::to_string(zero2) + ", " + std::to_string(count);
    if (count > 0) {
        va_list args;
        va_start(args, count);
        for (int i = 0; i < 4; ++i)
            call += ", " + std::to_string(va_arg(args, int));
        for (int i = 0; i < count; ++i)
            call += ", " + real(va_arg(args, double));
        va_end(args);
    }
    call += ")";
    record(call);
    the_library.timing.push_back(call);
}

extern "C" void DPSprint(double time, const char *format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    record("DPSprint(" + real(time) + ") " + text);
    the_library.records += text;
}

extern "C" void dps_wavl_xmtron(const char *name, int n, wavl_shape *shape, const char *label)
{
    record(std::string("dps_wavl_xmtron(") + name + ", " + std::to_string(n) + ", " +
           shape->name + ", " + label + ")");
}

extern "C" void dps_wavl_xmtroff(const char *name, int n)
{
    record(std::string("dps_wavl_xmtroff(") + name + ", " + std::to_string(n) + ")");
}
