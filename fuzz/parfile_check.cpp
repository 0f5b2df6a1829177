// The strict check of parameter files against the loaders: it never
// crashes, its problems carry a line and a record, and a file it passes as
// whole is read to its end by every loader without a message.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "memalloc.h"
#include "param_tree.h"
#include "parfile_check.h"
#include "treekeep.h"

namespace {

constexpr int kTree = 3;

int messages = 0;

void count_message(const char *, void *) { ++messages; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto problems = psenv::check_parfile_bytes(bytes);
    long lines = 1;
    for (char c : bytes)
        lines += c == '\n' ? 1 : 0;
    for (const auto &problem : problems) {
        fuzz::check(problem.line >= 1 && problem.line <= lines, "problem line outside the file");
        fuzz::check(problem.record >= 1, "problem outside any record");
        fuzz::check(!problem.message.empty(), "problem without words");
    }
    if (!problems.empty())
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
