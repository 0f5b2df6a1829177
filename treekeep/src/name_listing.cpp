// The names of a parameter file's records, without touching any tree.
#include <cstdio>
#include <string>

#include "errsink.h"
#include "parameter_file_open.h"
#include "record_reader.h"
#include "treekeep.h"

namespace treekeep {
namespace {

// Gathers the names; the component's copy is made once at the end, so a
// long file costs one pass over its names rather than one per name.
class NameListing : public RecordKeeper {
public:
    bool beginRecord(const char *name, FileHeader &) override
    {
        if (!names_.empty())
            names_.push_back(' ');
        names_.append(name);
        return true;
    }
    bool headerRead(const char *, const FileHeader &) override { return true; }
    varInfo *valueTarget() override { return nullptr; }
    void valuesRead(const FileHeader &) override {}
    varInfo *enumTarget() override { return nullptr; }

    const std::string &names() const { return names_; }

private:
    std::string names_;
};

}  // namespace
}  // namespace treekeep

using namespace treekeep;

extern "C" int P_readnames(const char *path, char **names)
{
    std::FILE *stream = openForReading(path);
    if (stream == nullptr)
        return P_NOFILE;
    NameListing keeper;
    char *list = nullptr;
    if (readOwnedFile(stream, "readNamesFromDisk", keeper) == ReadEnd::EndOfFile &&
        !keeper.names().empty() && names != nullptr) {
        list = newStringId(keeper.names().c_str(), VARTREE_NAME_TAG);
        if (list == nullptr)
            Werrprintf("readNamesFromDisk: out of memory\n");
    }
    if (names != nullptr)
        *names = list;
    (void)std::fclose(stream);
    return P_OK;
}
