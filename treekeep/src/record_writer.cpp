// The record writer: one parameter record as parameter-file text.
//
// Header "%s %hd %hd %.12g %.12g %.12g %hd %hd %d %hd %x\n" (trailer 100),
// the value count "%hd " and the values ("%1.12g " each on one line, or one
// quoted string per line), then the enumeration count "%hd ", the entries
// ("%1.12g " or a quoted string and a blank) and "\n".  Numbers are made
// with std::to_chars, whose bytes equal printf's for these conversions.
//
// Inside quotes a backslash is written before every backslash and every
// double quote, in values and enumeration entries alike: the reader takes
// every backslash as an escape, so this is the only form that reads back
// unchanged (a text ending in a backslash would otherwise swallow its
// closing quote).
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "real_format.h"
#include "treekeep_internal.h"

namespace {

// Collects a record's bytes and hands them to the stream in large pieces;
// every hand-over is checked and the first failure sticks.
class RecordOutput {
public:
    explicit RecordOutput(FILE *file) : file_(file) {}
    RecordOutput(const RecordOutput &) = delete;
    RecordOutput &operator=(const RecordOutput &) = delete;

    void put(char c)
    {
        if (used_ == sizeof buffer_)
            drain();
        buffer_[used_++] = c;
    }

    void put(const char *text, std::size_t length)
    {
        while (length > 0) {
            if (used_ == sizeof buffer_)
                drain();
            std::size_t piece = std::min(length, sizeof buffer_ - used_);
            std::memcpy(buffer_ + used_, text, piece);
            used_ += piece;
            text += piece;
            length -= piece;
        }
    }

    void put(const char *text) { put(text, std::strlen(text)); }

    // "%hd" and "%d".
    void integer(int value)
    {
        room(kIntegerMax);
        char *end = std::to_chars(buffer_ + used_, buffer_ + sizeof buffer_, value).ptr;
        used_ = static_cast<std::size_t>(end - buffer_);
    }

    // "%.12g" ("%1.12g" is the same: no real text is shorter than one byte).
    void real(double value)
    {
        room(treekeep::kRealTextMax);
        used_ = static_cast<std::size_t>(treekeep::formatReal(value, buffer_ + used_) - buffer_);
    }

    // A text between double quotes, backslash and double quote escaped.
    void quoted(const char *text)
    {
        put('"');
        if (text != nullptr) {
            const char *run = text;
            for (const char *at = text; *at != '\0'; ++at) {
                if (*at == '"' || *at == '\\') {
                    put(run, static_cast<std::size_t>(at - run));
                    put('\\');
                    run = at;  // the special character starts the next run
                }
            }
            put(run);
        }
        put('"');
    }

    // Hand everything to the stream; false when any write failed.
    bool finish()
    {
        drain();
        return !failed_;
    }

private:
    static constexpr std::size_t kIntegerMax = 12;

    void room(std::size_t needed)
    {
        if (sizeof buffer_ - used_ < needed)
            drain();
    }

    void drain()
    {
        // A stream may take the bytes and only mark the failure, so its
        // error flag counts as much as the number written.
        if (used_ > 0 && !failed_ &&
            (std::fwrite(buffer_, 1, used_, file_) != used_ || std::ferror(file_) != 0))
            failed_ = true;
        used_ = 0;
    }

    FILE *file_;
    std::size_t used_ = 0;
    bool failed_ = false;
    char buffer_[16384];
};

// The kind of entries a list holds, by its type code: texts for 2, reals for
// every other code (the layout rule of the file).
bool holdsTexts(int type) { return type == T_STRING; }

// The enumeration list's own kind when it records one, else the value
// list's; a record may carry a list of each kind.
int enumerationKind(const varInfo &record)
{
    if (record.enumType == T_REAL || record.enumType == T_STRING)
        return record.enumType;
    return record.type;
}

}  // namespace

extern "C" int storeOnDisk(const char *name, varInfo *record, FILE *file)
{
    if (name == nullptr || record == nullptr || file == nullptr)
        return P_WRITE;
    RecordOutput out(file);

    out.put(name);
    out.put(' ');
    out.integer(record->subtype);
    out.put(' ');
    out.integer(record->type);
    out.put(' ');
    out.real(record->max);
    out.put(' ');
    out.real(record->min);
    out.put(' ');
    out.real(record->step);
    out.put(' ');
    out.integer(record->group);
    out.put(' ');
    out.integer(record->dgroup);
    out.put(' ');
    out.integer(record->prot);
    out.put(' ');
    out.integer(record->active);
    out.put(" 64\n");  // the trailer, 100 in "%x"

    const bool textLayout = holdsTexts(record->type);
    out.integer(record->size);
    out.put(' ');
    int position = 0;
    for (ValueNode *node = record->values; node != nullptr && position < record->size;
         node = node->next, ++position) {
        if (textLayout) {
            out.quoted(node->string);
            out.put('\n');
        } else {
            out.real(node->real);
            out.put(' ');
        }
    }
    if (!textLayout)
        out.put('\n');

    // A file's enumeration is read in the layout of the record's type; a list
    // of the other kind cannot be put in it and is written empty, which keeps
    // the file readable instead of writing one kind's bytes as the other.
    const bool enumerationFits = holdsTexts(enumerationKind(*record)) == textLayout;
    const int enumCount = enumerationFits ? record->enumCount : 0;
    out.integer(enumCount);
    out.put(' ');
    position = 0;
    for (ValueNode *node = record->enumValues; node != nullptr && position < enumCount;
         node = node->next, ++position) {
        if (textLayout)
            out.quoted(node->string);
        else
            out.real(node->real);
        out.put(' ');
    }
    out.put('\n');

    return out.finish() ? P_OK : P_WRITE;
}
