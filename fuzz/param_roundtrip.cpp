// Save and load again: a tree built from the input (names, kinds, every
// descriptive field, values and enumerations with quotes, backslashes, line
// breaks and long strings) is saved with P_save, or P_saveUnsharedGlobal, and
// loaded into an empty tree with P_read.  The loaded tree must hold exactly
// the records that a save writes, equal in every field (reals to 12
// significant digits), and the load must report nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <string>

#include "param_tree.h"
#include "treekeep.h"

namespace {

constexpr int kSaved = 3;
constexpr int kLoaded = 2;
constexpr int kGlobal = 0;
// Longest string a load takes whole (the loaders' 1024-byte buffer).
constexpr std::size_t kLongestString = 1022;

int messages = 0;

std::string make_name(FuzzedDataProvider &in)
{
    static const char first[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_$";
    static const char rest[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_$0123456789";
    const std::size_t length = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(1, 8)
                                                : in.ConsumeIntegralInRange<std::size_t>(1, 255);
    std::string name(1, first[in.ConsumeIntegralInRange<std::size_t>(0, sizeof first - 2)]);
    while (name.size() < length)
        name += rest[in.ConsumeIntegralInRange<std::size_t>(0, sizeof rest - 2)];
    return name;
}

// Any bit pattern: infinities, not-a-numbers and subnormals included.
double make_real(FuzzedDataProvider &in)
{
    return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
}

// Texts rich in the characters the file format treats specially.
std::string make_string(FuzzedDataProvider &in)
{
    static const char special[] = "\"\\\n\r\t #";
    std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, 24);
    if (in.ConsumeBool() && in.ConsumeBool())
        length = in.ConsumeIntegralInRange<std::size_t>(0, kLongestString);
    std::string text;
    while (text.size() < length && in.remaining_bytes() > 0) {
        const auto byte = in.ConsumeIntegral<std::uint8_t>();
        if (byte < 64)
            text += special[byte % (sizeof special - 1)];
        else if (byte == 255)  // a run, so long texts come cheap
            text.append(length - text.size(), text.empty() ? 'x' : text.back());
        else
            text += static_cast<char>(byte);
    }
    return text;
}

void build_tree(FuzzedDataProvider &in, int tree)
{
    const int records = in.ConsumeIntegralInRange(0, 24);
    for (int r = 0; r < records && in.remaining_bytes() > 0; ++r) {
        const std::string name = make_name(in);
        const int kind = in.ConsumeBool() ? T_STRING : T_REAL;
        varInfo *v = RcreateVar(name.c_str(), getTreeRootByIndex(tree), kind);
        fuzz::check(v != nullptr, "cannot create a record");
        v->active = in.ConsumeIntegral<short>();
        v->dgroup = in.ConsumeIntegral<short>();
        v->group = in.ConsumeIntegral<short>();
        v->subtype = in.ConsumeIntegral<short>();
        v->prot = in.ConsumeIntegral<int>();
        v->max = make_real(in);
        v->min = make_real(in);
        v->step = make_real(in);
        const int values = in.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < values; ++i) {
            const int index = i == 0 ? 0 : i + 1;
            const int done = kind == T_REAL ? assignReal(make_real(in), v, index)
                                            : assignString(make_string(in).c_str(), v, index);
            fuzz::check(done == 1, "cannot assign a value");
        }
        const int entries = in.ConsumeIntegralInRange(0, 4);
        for (int i = 0; i < entries; ++i) {
            const int index = i == 0 ? 0 : i + 1;
            const int done = kind == T_REAL ? assignEReal(make_real(in), v, index)
                                            : assignEString(make_string(in).c_str(), v, index);
            fuzz::check(done == 1, "cannot assign an enumeration entry");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Werrprintf_set_hook([](const char *text, void *) {
        ++messages;
        if (std::getenv("PSENV_FUZZ_VERBOSE") != nullptr)
            std::fprintf(stderr, "message: %s", text);
    }, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    static const std::string path = fuzz::scratch("roundtrip.par");
    const bool unshared_only = in.ConsumeIntegralInRange(0, 7) == 0;
    const int source = unshared_only ? kGlobal : kSaved;
    fuzz::empty_tree(source);
    fuzz::empty_tree(kLoaded);
    build_tree(in, source);

    fuzz::Snapshot want = fuzz::savable(fuzz::snapshot(source));
    if (unshared_only) {
        std::erase_if(want, [](const auto &entry) { return (entry.second.prot & P_PROT_UNSHARED) == 0; });
        fuzz::check(P_saveUnsharedGlobal(path.c_str()) == P_OK, "P_saveUnsharedGlobal failed");
    } else {
        fuzz::check(P_save(source, path.c_str()) == P_OK, "P_save failed");
    }
    messages = 0;
    fuzz::check(P_read(kLoaded, path.c_str()) == P_OK, "P_read of a saved file failed");
    fuzz::check(messages == 0, "P_read of a saved file reported a message");
    fuzz::expect_same(want, fuzz::snapshot(kLoaded), "round trip");
    fuzz::empty_tree(source);
    fuzz::empty_tree(kLoaded);
    return 0;
}
