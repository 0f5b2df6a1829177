// psenv lock: lock offsets, synthesizer words and lock frequencies.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "cli.h"
#include "commands.h"
#include "hostenv.h"
#include "lock_checks.h"
#include "param_file.h"
#include "synthcalc.h"
#include "tool_streams.h"
#include "treekeep.h"

namespace psenv {

namespace {

constexpr std::string_view kCommand = "lock";

constexpr const char *kHelp =
    "Usage: psenv lock offset --key F --lockfreq L [options]\n"
    "       psenv lock word   --key F --lockfreq L (--console TYPE | --params FILE) [options]\n"
    "       psenv lock freq   --key F --word W     (--console TYPE | --params FILE) [options]\n"
    "       psenv lock ddsi   --key F --lockfreq L [options]\n"
    "\n"
    "Convert between the lock frequency L (MHz) and the lock synthesizer word W\n"
    "for a spectrometer of nominal frequency F (MHz, e.g. 400).\n"
    "\n"
    "  offset  the lock offset |(L +/- synthif) - lockref| from the table row for F\n"
    "  word    the synthesizer word for L\n"
    "  freq    the lock frequency of the word W (ardel consoles only)\n"
    "  ddsi    the offset's double as two 32-bit words, upper first, in hex\n"
    "\n"
    "Options:\n"
    "  --key F          nominal frequency in MHz (a whole number)\n"
    "  --lockfreq L     lock frequency in MHz (a finite decimal number)\n"
    "  --word W         synthesizer word (a whole number in the 32-bit range)\n"
    "  --console TYPE   set the Console parameter: ardel or quilmar\n"
    "  --params FILE    load FILE (which sets Console) into the current tree\n"
    "  --systemdir DIR  system directory holding nuctables/lockfreqtab\n"
    "                   (default: $PSENV_SYSTEMDIR)\n"
    "  --debug          show the module's debug lines on standard error\n"
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
    "output), 2 usage error.\n";

enum class Operation { Offset, Word, Freq, Ddsi };

std::optional<Operation> operation_named(std::string_view word)
{
    if (word == "offset")
        return Operation::Offset;
    if (word == "word")
        return Operation::Word;
    if (word == "freq")
        return Operation::Freq;
    if (word == "ddsi")
        return Operation::Ddsi;
    return std::nullopt;
}

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

// Sets systemdir from --systemdir or $PSENV_SYSTEMDIR; false after a report.
bool use_systemdir(const Args &args)
{
    std::string dir;
    if (auto given = args.get("systemdir"))
        dir = *given;
    else if (const char *from_environment = std::getenv("PSENV_SYSTEMDIR"))
        dir = from_environment;
    if (dir.size() > LOCKFREQTAB_SYSTEMDIR_MAX) {
        error("system directory longer than " + std::to_string(LOCKFREQTAB_SYSTEMDIR_MAX) +
              " characters: the lock-frequency table cannot be opened");
        return false;
    }
    std::memcpy(systemdir, dir.c_str(), dir.size() + 1);
    return true;
}

// Sets "Console" from --console or --params; false after a report.
bool use_console(const Args &args)
{
    if (auto params = args.get("params"))
        return load_parameter_file(*params);
    if (auto console = args.get("console"))
        return set_text_parameter("Console", *console);
    return true;
}

// The console type as the module will see it, or nothing.
std::optional<std::string> console_type()
{
    char text[256];
    if (P_getstring(kCurrentTree, "Console", text, 1, sizeof text - 1) != 0 &&
        P_getstring(0, "Console", text, 1, sizeof text - 1) != 0)
        return std::nullopt;
    return std::string(text);
}

// Looks the row for `key` up once beforehand, so that a missing table, a
// missing row and a table error are each told apart; false after a report.
bool check_table(int key)
{
    int reason = 0;
    const std::string problem = lock_table_problem(key, reason);
    if (!problem.empty())
        error(problem);
    return problem.empty();
}

int run(Operation operation, int key, double lockfreq, int word)
{
    AbortCatcher aborts;
    std::string result;
    // The module's debug lines come out with the tool's prefix.
    std::optional<ModuleStderr> debug_lines;
    if (bgflag)
        debug_lines.emplace();
    switch (operation) {
    case Operation::Offset:
        result = real_text(lock_offset(lockfreq, key));
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

}  // namespace

int cmd_lock(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"key", true}, {"lockfreq", true}, {"word", true},
                               {"console", true}, {"params", true}, {"systemdir", true},
                               {"debug", false}},
                              kCommand, kHelp, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.empty())
        return usage_error("lock: missing operation (offset, word, freq or ddsi)", kCommand);
    const std::optional<Operation> operation = operation_named(args->operands[0]);
    if (!operation)
        return usage_error("lock: unknown operation '" + args->operands[0] + "'", kCommand);
    if (args->operands.size() > 1)
        return usage_error("unexpected argument '" + args->operands[1] + "'", kCommand);

    const std::optional<int> key = parse_int32(args->get("key"));
    if (!key)
        return usage_error(args->has("key") ? "bad --key '" + *args->get("key") + "'"
                                            : "lock: --key F is required",
                           kCommand);
    const bool wants_word = *operation == Operation::Freq;
    if (args->has(wants_word ? "lockfreq" : "word"))
        return usage_error(wants_word ? "lock freq takes --word, not --lockfreq"
                                      : "this operation takes --lockfreq, not --word",
                           kCommand);
    double lockfreq = 0.0;
    int word = 0;
    if (wants_word) {
        const std::optional<int> given = parse_int32(args->get("word"));
        if (!given)
            return usage_error(args->has("word") ? "bad --word '" + *args->get("word") + "'"
                                                 : "lock freq: --word W is required",
                               kCommand);
        word = *given;
    } else {
        const std::optional<std::string> text = args->get("lockfreq");
        const std::optional<double> given =
            text ? parse_decimal(*text, -DBL_MAX, DBL_MAX) : std::nullopt;
        if (!given)
            return usage_error(text ? "bad --lockfreq '" + *text + "'"
                                    : "lock: --lockfreq L is required",
                               kCommand);
        lockfreq = *given;
    }
    if (args->has("console") && args->has("params"))
        return usage_error("give --console or --params, not both", kCommand);
    if (auto console = args->get("console"); console && *console != "ardel" && *console != "quilmar")
        return usage_error("--console must be ardel or quilmar", kCommand);

    const bool uses_console = *operation == Operation::Word || *operation == Operation::Freq;
    if (uses_console && !args->has("console") && !args->has("params"))
        return usage_error("lock " + args->operands[0] + " needs --console or --params", kCommand);

    if (!use_systemdir(*args) || !use_console(*args))
        return kExitFailure;
    bool needs_table = !uses_console;
    if (uses_console) {
        const std::optional<std::string> console = console_type();
        if (!console) {
            error("no Console parameter in '" + args->get("params").value_or("") + "'");
            return kExitFailure;
        }
        if (*console != "ardel" && *console != "quilmar") {
            error("unsupported console '" + *console + "' (ardel or quilmar)");
            return kExitFailure;
        }
        if (*operation == Operation::Freq && *console != "ardel") {
            error("lock freq needs an ardel console, not '" + *console + "'");
            return kExitFailure;
        }
        needs_table = *console == "ardel";
    }
    if (needs_table && !check_table(*key))
        return kExitFailure;
    if (*operation == Operation::Word && getlkfreqapword_fits(lockfreq, *key) == 0)
        return usage_error("--lockfreq " + *args->get("lockfreq") +
                               " gives a synthesizer word outside the 32-bit range",
                           kCommand);

    bgflag = args->has("debug") ? 1 : 0;
    return run(*operation, *key, lockfreq, word);
}

}  // namespace psenv
