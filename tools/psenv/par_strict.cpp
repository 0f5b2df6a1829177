#include "par_strict.h"

#include "cli.h"

namespace psenv::par {

Checked check_reported(const std::string &path, const std::string &file)
{
    Checked checked;
    ParfileReport report;
    if (!check_parfile(file.c_str(), report, checked.failure, true))
        return checked;
    for (const ParfileProblem &problem : report.problems)
        error(path + ":" + std::to_string(problem.line) + ": record " +
              std::to_string(problem.record) + ": " + problem.message);
    checked.whole = report.damaged() ? Whole::kNo : Whole::kYes;
    checked.repeats = report.repeats();
    checked.records = std::move(report.records);
    return checked;
}

Reading check_before_reading(const std::string &path, bool lenient)
{
    const Checked checked = check_reported(path, path);
    switch (checked.whole) {
    case Whole::kYes:
        return Reading::kWhole;
    case Whole::kNo:
        if (!lenient)
            return Reading::kStop;
        error(path + ": the file is damaged; what follows is what the loader reads of it "
                     "(--lenient)");
        return Reading::kLenient;
    case Whole::kUnreadable:
        break;
    }
    error(path + ": " + checked.failure);
    return Reading::kStop;
}

bool check_before_editing(const std::string &path, const std::string &file, bool force)
{
    const Checked checked = check_reported(path, file);
    switch (checked.whole) {
    case Whole::kUnreadable:
        // Not damage: the file may be whole, the caller just cannot read it.
        error(path + ": " + checked.failure + "; it was left unchanged");
        return false;
    case Whole::kNo:
        error(path + ": the file is damaged; it was left unchanged");
        return false;
    case Whole::kYes:
        break;
    }
    if (checked.repeats != 0 && !force) {
        error(path + ": a save would keep only the last record of each repeated name "
                     "(--force saves anyway); it was left unchanged");
        return false;
    }
    return true;
}

namespace {

// `text` as one word for a shell: as it stands when that is safe, else
// between single quotes.
std::string shell_word(const std::string &text)
{
    const bool safe = !text.empty() && text.find_first_not_of(
                                           "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                           "0123456789_-+=.,:/@%") == std::string::npos;
    if (safe)
        return text;
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

}  // namespace

void suggest_check(const std::string &path)
{
    error(path + ": to see where, run: psenv par check " + shell_word(path));
}

}  // namespace psenv::par
