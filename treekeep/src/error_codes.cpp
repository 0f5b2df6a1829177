// Wording of the parameter store's codes.
#include <array>
#include <cstdio>
#include <string>

#include "errsink.h"
#include "treekeep.h"
#include "treekeep_internal.h"

namespace {

// Index i holds the text of code -(i + 1).  The trailing blanks are part of
// the texts that callers and users have always seen.
constexpr std::array<const char *, 19> kCodeTexts = {
    "Tree doesn't exist",
    "Variable doesn't exist",
    "Value exceeds upper limit",
    "Value exceeds lower limit",
    "Value violates step size",
    "Value violates enum type",
    "Variable is write protected",
    "Malloc error (couldn't get any memory) ",
    "Index out-of-bounds",
    "Wrong type ",
    "String larger than max length",
    "Real variable value adjusted to nearest enumeral",
    "String Enumeral value not matched",
    "No such file",
    "Premature EOF (ran out of file)",
    "Error number out of range",
    "Invalid group",
    "Bad filename ",
    "error writing file",
};

}  // namespace

extern "C" void wordCode(int code, const char *first, const char *second, char *message)
{
    char prefix[P_ERR_PREFIX_MAX + 1];
    std::snprintf(prefix, sizeof prefix, "%s%s", first ? first : "", second ? second : "");

    if (code <= -1 && code >= -19)
        std::snprintf(message, P_ERR_MESSAGE_MAX + 1, "%s%s", prefix,
                      kCodeTexts[static_cast<std::size_t>(-code - 1)]);
    else
        std::snprintf(message, P_ERR_MESSAGE_MAX + 1, "%sUdefined error number %d", prefix, code);
}

extern "C" void P_err(int code, const char *first, const char *second)
{
    char message[P_ERR_MESSAGE_MAX + 1];
    wordCode(code, first, second, message);
    // Handed over as an argument, never as a format: names may hold '%'.
    Werrprintf("%s", message);
}
