// The strict check of parameter files against the loaders: it never
// crashes, its problems carry a line and a record, and a file it passes as
// whole is read to its end by every loader without a message.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "memalloc.h"
#include "param_tree.h"
#include "treekeep.h"
#include "treekeep_files.h"

namespace {

constexpr int kTree = 3;

int messages = 0;

void count_message(const char *, void *) { ++messages; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    P_filecheck check{};
    const int verdict = P_checkbytes(reinterpret_cast<const char *>(data), size, 0, &check);
    fuzz::check(verdict == P_CHECK_WHOLE || verdict == P_CHECK_DAMAGED, "no verdict");
    fuzz::check((verdict == P_CHECK_WHOLE) == (check.problemCount == 0),
                "verdict and problems disagree");
    long lines = 1;
    for (char c : bytes)
        lines += c == '\n' ? 1 : 0;
    for (std::size_t i = 0; i < check.problemCount; ++i) {
        const P_problem &problem = check.problems[i];
        fuzz::check(problem.line >= 1 && problem.line <= lines, "problem line outside the file");
        fuzz::check(problem.record >= 1 &&
                        static_cast<std::size_t>(problem.record) <= check.recordCount,
                    "problem outside any record");
        fuzz::check(problem.text != nullptr && problem.text[0] != '\0', "problem without words");
    }
    const bool whole = check.problemCount == 0;
    P_freecheck(&check);
    if (!whole)
        return 0;

    const std::string path = fuzz::scratch("whole.par");
    fuzz::write_file(path, data, size);
    Werrprintf_set_hook(count_message, nullptr);
    messages = 0;
    fuzz::empty_tree(kTree);
    fuzz::check(P_read(kTree, path.c_str()) == P_OK, "a whole file does not load");
    fuzz::check(messages == 0, "a whole file loads with a message");
    fuzz::empty_tree(kTree);
    fuzz::check(P_rtx(kTree, path.c_str(), 1, 0) == P_OK, "a whole file does not transfer");
    fuzz::check(messages == 0, "a whole file transfers with a message");
    char *names = nullptr;
    fuzz::check(P_readnames(path.c_str(), &names) == P_OK, "a whole file lists no names");
    fuzz::check(messages == 0, "a whole file lists names with a message");
    const bool no_records = bytes.find_first_not_of(" \t\n\v\f\r") == std::string_view::npos;
    fuzz::check((names == nullptr) == no_records, "names listed do not match the records");
    release(names);
    fuzz::empty_tree(kTree);
    fuzz::silence_messages();
    return 0;
}
