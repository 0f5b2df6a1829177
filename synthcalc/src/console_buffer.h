// The console type text for the length of one conversion, released on every
// path out of it.
#ifndef PSENV_SYNTHCALC_CONSOLE_BUFFER_H
#define PSENV_SYNTHCALC_CONSOLE_BUFFER_H

#include <cstring>

#include "memalloc.h"
#include "synthcalc_internal.h"

namespace synthcalc {

class ConsoleBuffer {
public:
    ConsoleBuffer() : text_(getconsoletype()) {}
    ~ConsoleBuffer() { release(text_); }
    ConsoleBuffer(const ConsoleBuffer &) = delete;
    ConsoleBuffer &operator=(const ConsoleBuffer &) = delete;

    bool present() const { return text_ != nullptr; }
    // The whole text, case-sensitively.
    bool is(const char *type) const { return text_ != nullptr && std::strcmp(text_, type) == 0; }

private:
    char *text_;
};

}  // namespace synthcalc

#endif
