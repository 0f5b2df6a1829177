// Reading a parameter file record by record.  Every loader goes through
// here, so the format is read one way only; the loaders differ in their
// RecordKeeper.
#include "record_reader.h"

#include <type_traits>

#include "errsink.h"
#include "record_scanner.h"
#include "treekeep_internal.h"

namespace treekeep {

FileHeader FileHeader::of(const varInfo &record)
{
    FileHeader header;
    header.subtype = record.subtype;
    header.type = record.type;
    header.max = record.max;
    header.min = record.min;
    header.step = record.step;
    header.group = record.group;
    header.dgroup = record.dgroup;
    header.prot = record.prot;
    header.active = record.active;
    return header;
}

void FileHeader::storeFieldsInto(varInfo &record) const
{
    record.subtype = subtype;
    record.type = type;
    record.max = max;
    record.min = min;
    record.step = step;
    record.group = group;
    record.dgroup = dgroup;
    record.prot = prot;
}

void releaseList(ValueNode *list, short kind)
{
    if (kind == T_STRING)
        disposeStringRvals(list);
    else
        disposeRealRvals(list);
}

void emptyValues(varInfo &record)
{
    releaseList(record.values, record.type);
    record.values = nullptr;
    record.size = 0;
}

void emptyEnumeration(varInfo &record)
{
    releaseList(record.enumValues, record.enumType);
    record.enumValues = nullptr;
    record.enumCount = 0;
}

namespace {

enum class Step { Next, End, Stop };
enum class List { Values, Enumeration };

template <class Source>
class Reader {
public:
    Reader(Source &stream, const char *prefix, RecordKeeper &keeper)
        : stream_(stream), prefix_(prefix), keeper_(keeper)
    {
    }

    ReadEnd run()
    {
        Step step;
        do
            step = record();
        while (step == Step::Next);
        return step == Step::End ? ReadEnd::EndOfFile : ReadEnd::Stopped;
    }

private:
    Step record()
    {
        switch (scanWord(stream_, name_, sizeof name_)) {
        case Scan::Ok:
            break;
        case Scan::TooLong:
            return fail("name too long");
        default:
            return atEnd(Step::End);
        }

        FileHeader header;
        if (!keeper_.beginRecord(name_, header))
            return Step::Stop;
        if (readHeader(header) == Step::Stop)
            return Step::Stop;
        if (!keeper_.headerRead(name_, header))
            return Step::Stop;

        int count = 0;
        if (Step step = readCount(count, Step::End); step != Step::Next)
            return step;
        if (header.type != T_REAL && header.type != T_STRING) {
            Werrprintf("%s: %s has nonexistent type\n", prefix_, name_);
            return Step::Stop;
        }
        if (readList(header.type, count, keeper_.valueTarget(), List::Values) == Step::Stop)
            return Step::Stop;
        keeper_.valuesRead(header);

        // Without an enumeration count the next name meets the end.
        if (Step step = readCount(count, Step::Next); step != Step::Next)
            return step;
        if (readList(header.type, count, keeper_.enumTarget(), List::Enumeration) == Step::Stop)
            return Step::Stop;
        return Step::Next;
    }

    // Tokens 2 to 11.  A header cut short by the end of the file keeps what
    // it had for the rest; the count that follows meets the end too.
    Step readHeader(FileHeader &h)
    {
        long number = 0;
        double real = 0.0;
        unsigned long hex = 0;
        Scan scan = Scan::Ok;
        auto integer = [&](auto &field) {
            if (scan == Scan::Ok && (scan = scanInteger(stream_, number)) == Scan::Ok)
                field = static_cast<std::remove_reference_t<decltype(field)>>(number);
        };
        auto decimal = [&](double &field) {
            if (scan == Scan::Ok && (scan = scanReal(stream_, real)) == Scan::Ok)
                field = real;
        };
        integer(h.subtype);
        integer(h.type);
        decimal(h.max);
        decimal(h.min);
        decimal(h.step);
        integer(h.group);
        integer(h.dgroup);
        integer(h.prot);
        integer(h.active);
        if (scan == Scan::Ok && (scan = scanHex(stream_, hex)) == Scan::Ok)
            h.trailer = static_cast<unsigned>(hex);
        if (scan == Scan::Bad)
            return fail("bad number");
        if (scan == Scan::End)
            return atEnd(Step::Next);
        return Step::Next;
    }

    // A count as "%d" reads it; `onEnd` is what the end of the file means.
    // A count the file ends before is none, so that a caller going on after
    // it (the enumeration's) reads no list with the value count left over.
    Step readCount(int &count, Step onEnd)
    {
        long number = 0;
        switch (scanInteger(stream_, number)) {
        case Scan::Ok:
            count = static_cast<int>(number);
            return Step::Next;
        case Scan::Bad:
            return fail("bad number");
        default:
            count = 0;
            return atEnd(onEnd);
        }
    }

    // `count` values of `type`, assigned to `target` unless it is null.
    // Nothing is set aside for the count: a count the file does not back
    // ends at the end of the file.
    Step readList(int type, int count, varInfo *target, List list)
    {
        for (long i = 1; i <= count; ++i) {
            const int index = i == 1 ? 0 : static_cast<int>(i);
            if (type == T_REAL) {
                double value = 0.0;
                switch (scanReal(stream_, value)) {
                case Scan::Ok:
                    break;
                case Scan::Bad:
                    return fail("bad number");
                default:
                    return atEnd(Step::Next);
                }
                if (target != nullptr) {
                    if (list == List::Values)
                        assignReal(value, target, index);
                    else
                        assignEReal(value, target, index);
                }
            } else {
                if (readQuoted(stream_, text_, TREEKEEP_STRING_BUFFER) < 0) {
                    if (stream_.failed())
                        return fail("read error");
                    return fail("premature EOF");
                }
                if (target != nullptr) {
                    if (list == List::Values)
                        assignString(text_, target, index);
                    else
                        assignEString(text_, target, index);
                }
            }
        }
        return Step::Next;
    }

    // The stream gave out: its end means `onEnd`, a read error stops.
    Step atEnd(Step onEnd)
    {
        if (stream_.failed())
            return fail("read error");
        return onEnd;
    }

    Step fail(const char *what)
    {
        Werrprintf("%s: %s\n", prefix_, what);
        return Step::Stop;
    }

    Source &stream_;
    const char *prefix_;
    RecordKeeper &keeper_;
    char name_[TREEKEEP_NAME_BUFFER];
    char text_[TREEKEEP_STRING_BUFFER];
};

}  // namespace

ReadEnd readRecords(std::FILE *stream, const char *prefix, RecordKeeper &keeper)
{
    StreamSource source(stream);
    Reader<StreamSource> reader(source, prefix, keeper);
    return reader.run();
}

ReadEnd readOwnedFile(std::FILE *stream, const char *prefix, RecordKeeper &keeper)
{
    FileWindow source(fileno(stream));
    if (source.failed()) {
        // No room for the window: read the stream itself.
        return readRecords(stream, prefix, keeper);
    }
    Reader<FileWindow> reader(source, prefix, keeper);
    return reader.run();
}

}  // namespace treekeep
