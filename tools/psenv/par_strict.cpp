#include "par_strict.h"

#include <memory>

#include "cli.h"

namespace psenv::par {

void print_problems(const std::string &path, const P_filecheck &check)
{
    for (std::size_t i = 0; i < check.problemCount; ++i)
        error(path + ":" + std::to_string(check.problems[i].line) + ": record " +
              std::to_string(check.problems[i].record) + ": " + check.problems[i].text);
}

Checked check_reported(const std::string &path, const std::string &file)
{
    Checked checked;
    P_filecheck check{};
    int cause = 0;
    const int verdict = P_checkfile(file.c_str(), P_CHECK_FIND_REPEATS, &check, &cause);
    const std::unique_ptr<P_filecheck, void (*)(P_filecheck *)> release(&check, P_freecheck);
    if (verdict < 0) {
        checked.failure = P_checkfailure(verdict, cause);
        return checked;
    }
    print_problems(path, check);
    checked.whole = verdict == P_CHECK_DAMAGED ? Whole::kNo : Whole::kYes;
    for (std::size_t i = 0; i < check.problemCount; ++i)
        checked.repeats += check.problems[i].repeat != 0 ? 1 : 0;
    for (std::size_t i = 0; i < check.recordCount; ++i)
        checked.records.push_back(
            {check.records[i].name, check.records[i].line, check.records[i].protection});
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
