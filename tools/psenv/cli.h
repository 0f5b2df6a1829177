// Small helpers shared by the psenv subcommands: exit codes, messages in the
// tool's error style, and a minimal long-option parser.
#ifndef PSENV_TOOL_CLI_H
#define PSENV_TOOL_CLI_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace psenv {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// "psenv: <text>" on standard error (a newline is added when missing), or
// to the innermost ErrorCapture of the thread.
void error(std::string_view text);

// While an object lives, error() and usage_error() on its thread keep their
// texts here instead of printing them: a caller that is no command (the
// Python module) turns them into its own reports.
class ErrorCapture {
public:
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture &) = delete;
    ErrorCapture &operator=(const ErrorCapture &) = delete;

    void keep(std::string_view text);
    // The texts in order, without "psenv: " and line ends.
    const std::vector<std::string> &messages() const { return messages_; }
    // The texts joined by line ends.
    std::string text() const;

private:
    std::vector<std::string> messages_;
    ErrorCapture *outer_;
};

// Usage error: "psenv: <text>" plus a hint to --help; returns kExitUsage.
int usage_error(std::string_view text, std::string_view command);

// The parameter store's wording of `code` (P_err with the two prefix texts),
// captured from the error sink without its newline, for "psenv: ..." messages.
std::string store_message(int code, std::string_view first, std::string_view second);

// Parsed command line: options by long name, and the remaining operands.
struct Args {
    std::vector<std::pair<std::string, std::string>> options;  // "--name" -> value ("" for flags)
    std::vector<std::string> operands;
    bool has(std::string_view name) const;
    std::optional<std::string> get(std::string_view name) const;
    std::vector<std::string> all(std::string_view name) const;
};

// Option description: the long name without dashes and whether it takes a value.
struct OptionSpec {
    std::string_view name;
    bool takes_value;
};

// Parses argv[first..argc).  "--name value", "--name=value" and "--" are
// understood.  On an unknown option or a missing value, prints a usage error
// and returns std::nullopt.
std::optional<Args> parse_args(int argc, char **argv, int first,
                               const std::vector<OptionSpec> &spec, std::string_view command);

// parse_args for a command whose options include "help": a usage error
// stores kExitUsage in `status`, --help prints the help and stores kExitOk;
// either way nothing is returned and the command ends with `status`.
std::optional<Args> parse_command(int argc, char **argv, int first,
                                  const std::vector<OptionSpec> &spec, std::string_view command,
                                  void (*help)(), int &status);
// The same with a help text printed as it stands.
std::optional<Args> parse_command(int argc, char **argv, int first,
                                  const std::vector<OptionSpec> &spec, std::string_view command,
                                  const char *help, int &status);

// Numbers given as option values and operands: the whole token in plain
// decimal form (an optional sign, digits with an optional point, an optional
// exponent for reals), no blanks, no hexadecimal, no "nan" or "inf", and
// within [low, high].  Nothing otherwise.  Every number a command reads from
// its command line goes through these two, so that one form is accepted
// everywhere.
std::optional<double> parse_decimal(std::string_view text, double low, double high);
std::optional<long long> parse_whole(std::string_view text, long long low, long long high);

// The same without a range of their own: any finite real, any long long.
std::optional<double> parse_real(std::string_view text);
std::optional<long long> parse_integer(std::string_view text);

// Comma lists such as "--ni 64,32": 1 to `most` elements, each read as
// above but unsigned (a sign inside a list is taken for a slip), no empty
// element, no blank around a comma.  Nothing otherwise.
std::optional<std::vector<long long>> parse_whole_list(std::string_view text, long long low,
                                                       long long high, std::size_t most);
std::optional<std::vector<double>> parse_decimal_list(std::string_view text, double low,
                                                      double high, std::size_t most);

// Usage error for a refused number: "psenv: <what> '<text>' is not <kind>".
int bad_number(std::string_view what, std::string_view text, std::string_view kind,
               std::string_view command);

}  // namespace psenv

#endif
