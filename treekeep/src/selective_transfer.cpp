// Selective transfer: a file's records marked for transfer (or all of them)
// into a tree, never over a parameter that is itself marked.
#include <cstdio>

#include "errsink.h"
#include "parameter_file_open.h"
#include "record_reader.h"
#include "treekeep.h"

namespace treekeep {
namespace {

class SelectiveTransfer : public RecordKeeper {
public:
    SelectiveTransfer(SymbolNode **root, bool loadAll, bool clearBit)
        : root_(root), loadAll_(loadAll), clearBit_(clearBit)
    {
    }

    bool beginRecord(const char *name, FileHeader &) override
    {
        record_ = rfindVar(name, root_);
        loading_ = false;
        return true;
    }

    bool headerRead(const char *name, const FileHeader &header) override
    {
        if (record_ != nullptr && (record_->prot & P_PROT_SELECTIVE) != 0)
            return true;  // a marked parameter is never overwritten
        if ((header.prot & P_PROT_SELECTIVE) == 0 && !loadAll_)
            return true;
        if (record_ == nullptr) {
            record_ = RcreateUVar(name, root_, 0);
            if (record_ == nullptr) {
                Werrprintf("rtx: Variable \"%s\" could not be created", name);
                return false;
            }
        }
        loading_ = true;
        emptyValues(*record_);
        FileHeader kept = header;
        if (clearBit_)
            kept.prot &= ~P_PROT_SELECTIVE;
        kept.storeFieldsInto(*record_);
        return true;
    }

    varInfo *valueTarget() override { return loading_ ? record_ : nullptr; }

    void valuesRead(const FileHeader &header) override
    {
        if (!loading_)
            return;
        record_->active = header.active;
        emptyEnumeration(*record_);
    }

    varInfo *enumTarget() override { return loading_ ? record_ : nullptr; }

private:
    SymbolNode **root_;
    bool loadAll_;
    bool clearBit_;
    varInfo *record_ = nullptr;
    bool loading_ = false;
};

}  // namespace
}  // namespace treekeep

using namespace treekeep;

extern "C" int P_rtx(int tree, const char *path, int loadAll, int clearBit)
{
    SymbolNode **root = getTreeRootByIndex(tree);
    if (root == nullptr)
        return P_NOTREE;
    std::FILE *stream = openForReading(path);
    if (stream == nullptr)
        return P_NOFILE;
    SelectiveTransfer keeper(root, loadAll != 0, clearBit != 0);
    const ReadEnd end = readOwnedFile(stream, "rtxfromdisk", keeper);
    const int closed = std::fclose(stream);
    if (end != ReadEnd::EndOfFile || closed != 0)
        return P_WRITE;
    return P_OK;
}
