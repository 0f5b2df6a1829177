// Loading parameter files into trees: the full load (P_read, readfromdisk),
// values of existing parameters only (readvaluesfromdisk) and new
// parameters only (readNewVarsfromdisk).
#include <cerrno>
#include <cstdio>

#include "errsink.h"
#include "parameter_file_open.h"
#include "record_reader.h"
#include "treekeep.h"

namespace treekeep {

std::FILE *openForReading(const char *path)
{
    if (path == nullptr)
        return nullptr;
    for (;;) {
        errno = 0;
        std::FILE *stream = std::fopen(path, "r");
        if (stream != nullptr || errno != EINTR)
            return stream;
    }
}

namespace {

// Each record replaces the parameter of its name, or creates it.  With
// `onlyNew` a parameter that exists is left alone and its record dropped.
class FullLoad : public RecordKeeper {
public:
    FullLoad(SymbolNode **root, bool onlyNew) : root_(root), onlyNew_(onlyNew) {}

    bool beginRecord(const char *name, FileHeader &header) override
    {
        record_ = rfindVar(name, root_);
        if (record_ != nullptr) {
            if (onlyNew_) {
                record_ = nullptr;  // read into scratch and dropped
                return true;
            }
            // Released by the kind the list has now, before the file's
            // header can say otherwise.
            emptyValues(*record_);
        } else {
            record_ = RcreateUVar(name, root_, 0);
            if (record_ == nullptr) {
                if (onlyNew_)
                    Werrprintf("fread:Variable \"%s\" could not be created\n", name);
                else
                    Werrprintf("fread:Variable \"%s\" could not be found or created\n", name);
                return false;
            }
        }
        header = FileHeader::of(*record_);
        return true;
    }

    bool headerRead(const char *, const FileHeader &header) override
    {
        if (record_ != nullptr) {
            header.storeFieldsInto(*record_);
            record_->active = header.active;
        }
        return true;
    }

    varInfo *valueTarget() override { return record_; }

    void valuesRead(const FileHeader &header) override
    {
        if (record_ == nullptr)
            return;
        // An assignment may have made the parameter active again.
        if (header.active == 0)
            record_->active = 0;
        emptyEnumeration(*record_);
    }

    varInfo *enumTarget() override { return record_; }

private:
    SymbolNode **root_;
    bool onlyNew_;
    varInfo *record_ = nullptr;
};

// Parameters that exist with the file's type take its values; nothing else
// changes and nothing is created.
class ValuesOnly : public RecordKeeper {
public:
    explicit ValuesOnly(SymbolNode **root) : root_(root) {}

    bool beginRecord(const char *name, FileHeader &) override
    {
        record_ = rfindVar(name, root_);
        return true;
    }

    bool headerRead(const char *, const FileHeader &header) override
    {
        if (record_ != nullptr && record_->type != header.type)
            record_ = nullptr;
        return true;
    }

    varInfo *valueTarget() override { return record_; }
    void valuesRead(const FileHeader &) override {}
    varInfo *enumTarget() override { return nullptr; }

private:
    SymbolNode **root_;
    varInfo *record_ = nullptr;
};

int readWith(RecordKeeper &keeper, std::FILE *stream, const char *prefix)
{
    if (stream == nullptr)
        return 0;
    return readRecords(stream, prefix, keeper) == ReadEnd::EndOfFile ? -1 : 0;
}

}  // namespace
}  // namespace treekeep

using namespace treekeep;

extern "C" int readfromdisk(SymbolNode **root, FILE *stream)
{
    FullLoad keeper(root, false);
    return readWith(keeper, stream, "readfromdisk");
}

extern "C" int readNewVarsfromdisk(SymbolNode **root, FILE *stream)
{
    FullLoad keeper(root, true);
    return readWith(keeper, stream, "readfromdisk");
}

extern "C" int readvaluesfromdisk(SymbolNode **root, FILE *stream)
{
    ValuesOnly keeper(root);
    return readWith(keeper, stream, "readvaluesfromdisk");
}

extern "C" int P_read(int tree, const char *path)
{
    SymbolNode **root = getTreeRoot(getRoot(tree));
    if (root == nullptr)
        return P_NOTREE;
    std::FILE *stream = openForReading(path);
    if (stream == nullptr)
        return P_NOFILE;
    // What the reader met was reported by it; the load counts as done.  The
    // stream is ours, so it is read ahead in large blocks.
    FullLoad keeper(root, false);
    (void)readOwnedFile(stream, "readfromdisk", keeper);
    (void)std::fclose(stream);
    balance(root);
    return P_OK;
}

extern "C" int P_testread(int tree)
{
    SymbolNode **root = getTreeRootByIndex(tree);
    if (root == nullptr)
        return P_NOTREE;
    return *root == nullptr ? 1 : 0;
}
