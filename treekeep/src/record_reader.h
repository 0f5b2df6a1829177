// The one reading of a parameter file's records, shared by every loader.
//
// readRecords() walks the file record by record (name, header, value count,
// values, enumeration count, enumeration values) and hands what it read to
// a RecordKeeper, which decides what to keep.  The format's own faults are
// reported here, with the loader's prefix:
//   "<prefix>: %s has nonexistent type\n"  a type code other than 1 or 2
//   "<prefix>: premature EOF\n"           the file ends inside a string list
//   "<prefix>: name too long\n"           a name does not fit 255 bytes
//   "<prefix>: bad number\n"              a header field, count or real is
//                                         not a number
//   "<prefix>: read error\n"              the stream reports a read error
// Each of them stops the reading.  The end of the file at a count or inside
// a real list is not an error: the reading ends as at the end of the file.
#ifndef PSENV_TREEKEEP_RECORD_READER_H
#define PSENV_TREEKEEP_RECORD_READER_H

#include <cstdio>

#include "treekeep.h"

namespace treekeep {

// Header tokens 2 to 11 of a record, with the record's widths.
struct FileHeader {
    short subtype = 0;
    short type = 0;
    double max = 0.0;
    double min = 0.0;
    double step = 0.0;
    short group = 0;
    short dgroup = 0;
    int prot = 0;
    short active = 0;
    unsigned trailer = 0;  // read and never used

    // The descriptive fields of `record`, so that fields a truncated header
    // lacks keep what the record held.
    static FileHeader of(const varInfo &record);
    // Store the descriptive fields but `active` into `record`.
    void storeFieldsInto(varInfo &record) const;
};

// What a loader does with the records read.  Values are assigned by the
// reader into the record a keeper names (index 0 for the first value, i for
// value i from 2 on); a keeper that names none has them read and dropped.
class RecordKeeper {
public:
    virtual ~RecordKeeper() = default;

    // A record named `name` begins.  `header` is where its header will be
    // read into (zeroed, or filled by the keeper).  false stops the reading;
    // the keeper has reported why.
    virtual bool beginRecord(const char *name, FileHeader &header) = 0;

    // The header was read.  false stops the reading (reported by the keeper).
    virtual bool headerRead(const char *name, const FileHeader &header) = 0;

    // Record that takes the value list, or null to drop the values.
    virtual varInfo *valueTarget() = 0;

    // The value list was read, wholly or up to the end of the file.
    virtual void valuesRead(const FileHeader &header) = 0;

    // Record that takes the enumeration list, or null to drop it.
    virtual varInfo *enumTarget() = 0;
};

enum class ReadEnd {
    EndOfFile,  // every record was read
    Stopped,    // reading stopped after a reported error
};

// Read every record of `stream` for `keeper`; messages carry `prefix`.
// The stream is left right after the last character the reading looked at.
ReadEnd readRecords(std::FILE *stream, const char *prefix, RecordKeeper &keeper);

// The same for a stream the loader opened itself and closes afterwards: the
// file is read in large blocks past the stream's buffer, so the stream's
// position afterwards is anywhere.  Not for a caller's stream.
ReadEnd readOwnedFile(std::FILE *stream, const char *prefix, RecordKeeper &keeper);

// Release a record's list by the kind of its nodes, as the component asks.
void releaseList(ValueNode *list, short kind);

// Empty the value list (by `type`) or the enumeration list (by `enumType`).
void emptyValues(varInfo &record);
void emptyEnumeration(varInfo &record);

}  // namespace treekeep

#endif
