// psenv lock: lock offsets, synthesizer words and lock frequencies.
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/command.h"
#include "core/numbers.h"
#include "core/parameter_file.h"
#include "core/streams.h"
#include "hostenv.h"
#include "synthcalc.h"
#include "treekeep.h"
#include "vartree.h"

namespace psenv::lock {

namespace {

enum class Operation { Offset, Word, Freq, Ddsi };

std::optional<int> parse_int32(const std::optional<std::string> &text)
{
    if (!text)
        return std::nullopt;
    const std::optional<long long> value = parse_whole(*text, INT_MIN, INT_MAX);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

// Shortest text that reads back as the same double.
std::string real_text(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Sets systemdir from --systemdir or $PSENV_SYSTEMDIR.
int use_systemdir(const Args &args)
{
    std::string dir;
    if (auto given = args.get("systemdir"))
        dir = *given;
    else if (const char *from_environment = std::getenv("PSENV_SYSTEMDIR"))
        dir = from_environment;
    if (dir.size() > LOCKFREQTAB_SYSTEMDIR_MAX) {
        error("system directory longer than " + std::to_string(LOCKFREQTAB_SYSTEMDIR_MAX) +
              " characters: the lock-frequency table cannot be opened");
        return kExitFailure;
    }
    std::memcpy(systemdir, dir.c_str(), dir.size() + 1);
    return kExitOk;
}

// Sets "Console" from --console or --params.
int use_console(const Args &args)
{
    if (auto params = args.get("params"))
        return load_parameters(*params);
    if (auto console = args.get("console"))
        return set_text_parameter("Console", *console);
    return kExitOk;
}

// The console type as the module will see it, or nothing.
std::optional<std::string> console_type()
{
    char text[256];
    if (P_getstring(VARTREE_SYSTEM, "Console", text, 1, sizeof text - 1) != 0 &&
        P_getstring(VARTREE_GLOBAL, "Console", text, 1, sizeof text - 1) != 0)
        return std::nullopt;
    return std::string(text);
}

// Looks the row for `key` up once beforehand, so that a missing table, a
// missing row and a table error are each told apart.
int find_table_row(int key)
{
    const std::string path = std::string(systemdir) + LOCKFREQTAB_SUFFIX;
    int reason = 0;
    switch (lockfreqtab_find(key, &reason)) {
    case LOCKFREQTAB_ROW_FOUND:
        return kExitOk;
    case LOCKFREQTAB_DAMAGED:
        error("'" + path + "': " + LOCKFREQTAB_TABLE_ERROR);
        break;
    case LOCKFREQTAB_NO_TABLE:
        error("cannot open the lock-frequency table '" + path + "': " + std::strerror(reason));
        break;
    default:
        error("no row for key " + std::to_string(key) + " in '" + path + "'");
        break;
    }
    return kExitFailure;
}

int convert(Operation operation, int key, double lockfreq, int word)
{
    hostenv::AbortCatcher aborts;
    std::string result;
    // The module's debug lines come out with the tool's prefix.
    std::optional<ModuleStderr> debug_lines;
    if (bgflag)
        debug_lines.emplace();
    switch (operation) {
    case Operation::Offset:
        result = real_text(getlkfreqoffset(key, lockfreq));
        break;
    case Operation::Word:
        result = std::to_string(getlkfreqapword(lockfreq, key));
        break;
    case Operation::Freq:
        result = real_text(apvalue2lkfreq(word, key));
        break;
    case Operation::Ddsi: {
        int words[2] = {0, 0};
        getlkfreqDDsi(lockfreq, key, words);
        char text[32];
        std::snprintf(text, sizeof text, "0x%08X 0x%08X", static_cast<unsigned>(words[0]),
                      static_cast<unsigned>(words[1]));
        result = text;
        break;
    }
    }
    debug_lines.reset();
    if (!aborts.message().empty()) {
        error(aborts.message());
        return kExitFailure;
    }
    std::printf("%s\n", result.c_str());
    return kExitOk;
}

// The checks and conversion every operation shares, in the order the
// operands and options are looked at.
int run(const Call &call, Operation operation, std::string_view word_of_operation)
{
    const Args &args = call.args;
    if (!args.operands.empty())
        return call.usage("unexpected argument '" + args.operands[0] + "'");

    const std::optional<int> key = parse_int32(args.get("key"));
    if (!key)
        return call.usage(args.has("key") ? "bad --key '" + *args.get("key") + "'"
                                          : "lock: --key F is required");
    const bool wants_word = operation == Operation::Freq;
    if (args.has(wants_word ? "lockfreq" : "word"))
        return call.usage(wants_word ? "lock freq takes --word, not --lockfreq"
                                     : "this operation takes --lockfreq, not --word");
    double lockfreq = 0.0;
    int word = 0;
    if (wants_word) {
        const std::optional<int> given = parse_int32(args.get("word"));
        if (!given)
            return call.usage(args.has("word") ? "bad --word '" + *args.get("word") + "'"
                                               : "lock freq: --word W is required");
        word = *given;
    } else {
        const std::optional<std::string> text = args.get("lockfreq");
        const std::optional<double> given = text ? parse_real(*text) : std::nullopt;
        if (!given)
            return call.usage(text ? "bad --lockfreq '" + *text + "'"
                                   : "lock: --lockfreq L is required");
        lockfreq = *given;
    }
    if (args.has("console") && args.has("params"))
        return call.usage("give --console or --params, not both");
    if (auto console = args.get("console"); console && *console != "ardel" && *console != "quilmar")
        return call.usage("--console must be ardel or quilmar");

    const bool uses_console = operation == Operation::Word || operation == Operation::Freq;
    if (uses_console && !args.has("console") && !args.has("params"))
        return call.usage("lock " + std::string(word_of_operation) +
                          " needs --console or --params");

    if (const int status = use_systemdir(args); status != kExitOk)
        return status;
    if (const int status = use_console(args); status != kExitOk)
        return status;
    bool needs_table = !uses_console;
    if (uses_console) {
        const std::optional<std::string> console = console_type();
        if (!console) {
            error("no Console parameter in '" + args.get("params").value_or("") + "'");
            return kExitFailure;
        }
        if (*console != "ardel" && *console != "quilmar") {
            error("unsupported console '" + *console + "' (ardel or quilmar)");
            return kExitFailure;
        }
        if (operation == Operation::Freq && *console != "ardel") {
            error("lock freq needs an ardel console, not '" + *console + "'");
            return kExitFailure;
        }
        needs_table = *console == "ardel";
    }
    if (needs_table)
        if (const int status = find_table_row(*key); status != kExitOk)
            return status;
    if (operation == Operation::Word && getlkfreqapword_fits(lockfreq, *key) == 0)
        return call.usage("--lockfreq " + *args.get("lockfreq") +
                          " gives a synthesizer word outside the 32-bit range");

    bgflag = args.has("debug") ? 1 : 0;
    return convert(operation, *key, lockfreq, word);
}

int offset(const Call &call) { return run(call, Operation::Offset, "offset"); }
int word(const Call &call) { return run(call, Operation::Word, "word"); }
int freq(const Call &call) { return run(call, Operation::Freq, "freq"); }
int ddsi(const Call &call) { return run(call, Operation::Ddsi, "ddsi"); }

constexpr Option kOptions[] = {
    {"key", "F", "nominal frequency in MHz (a whole number)"},
    {"lockfreq", "L", "lock frequency in MHz (a finite decimal number)"},
    {"word", "W", "synthesizer word (a whole number in the 32-bit range)"},
    {"console", "TYPE", "set the Console parameter: ardel or quilmar"},
    {"params", "FILE", "load FILE (which sets Console) into the current tree"},
    {"systemdir", "DIR",
     "system directory holding nuctables/lockfreqtab\n"
     "(default: $PSENV_SYSTEMDIR)"},
    {"debug", "", "show the module's debug lines on standard error"},
};

}  // namespace

// The usage forms of the operations line up after their names.
extern constinit const Command kOffset{
    .name = "offset",
    .summary = "the lock offset |(L +/- synthif) - lockref| from the table row for F",
    .usage = "--key F --lockfreq L [options]",
    .run = offset,
};

extern constinit const Command kWord{
    .name = "word",
    .summary = "the synthesizer word for L",
    .usage = "  --key F --lockfreq L (--console TYPE | --params FILE) [options]",
    .run = word,
};

extern constinit const Command kFreq{
    .name = "freq",
    .summary = "the lock frequency of the word W (ardel consoles only)",
    .usage = "  --key F --word W     (--console TYPE | --params FILE) [options]",
    .run = freq,
};

extern constinit const Command kDdsi{
    .name = "ddsi",
    .summary = "the offset's double as two 32-bit words, upper first, in hex",
    .usage = "  --key F --lockfreq L [options]",
    .run = ddsi,
};

extern constinit const Command kLock{
    .name = "lock",
    .summary = "convert lock frequencies and synthesizer words",
    .options = kOptions,
    .help = "Convert between the lock frequency L (MHz) and the lock synthesizer word W\n"
            "for a spectrometer of nominal frequency F (MHz, e.g. 400).\n"
            "\n"
            "{commands}\n"
            "\n"
            "Options:\n"
            "{options}\n"
            "\n"
            "The table rows read 'F synthif sense lockref', sense '+' or '-'; lines\n"
            "starting with '#' and empty lines are passed over.  The quilmar word needs\n"
            "no table.\n"
            "\n"
            "Numbers are decimal: no blanks, no hexadecimal, no nan or inf.  A lock\n"
            "frequency whose word does not fit 32 bits is a usage error.\n"
            "\n"
            "Exit status: 0 ok, 1 failure (no table row, table error, unsupported or\n"
            "missing console, a --params file that cannot be read whole, a failed\n"
            "output), 2 usage error.",
    .operation_among_operands = true,
};

}  // namespace psenv::lock
