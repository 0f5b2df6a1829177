// Where the token scans take their characters from.
//
// StreamSource reads a caller's stream a character at a time and puts the
// one character of look-ahead back, so the stream is left exactly where the
// stdio conversions would leave it.  FileWindow reads a file the loader
// opened itself through a window of its own, block by block: no locking, no
// pushback into the stream, and the unread rest of the window is simply
// dropped at the end.
#ifndef PSENV_TREEKEEP_RECORD_SOURCE_H
#define PSENV_TREEKEEP_RECORD_SOURCE_H

#include <cstddef>
#include <cstdio>
#include <memory>

namespace treekeep {

class StreamSource {
public:
    explicit StreamSource(std::FILE *stream) : stream_(stream) {}

    int next() { return getc_unlocked(stream_); }
    // ungetc of EOF does nothing, as the conversions expect.
    void putBack(int c)
    {
        if (c != EOF)
            std::ungetc(c, stream_);
    }
    bool failed() const { return std::ferror(stream_) != 0; }

private:
    std::FILE *stream_;
};

class FileWindow {
public:
    static constexpr std::size_t kDefaultSize = std::size_t{1} << 16;

    // Reads descriptor `fd` from its current offset; `size` is the window's
    // length (small ones serve the tests).
    explicit FileWindow(int fd, std::size_t size = kDefaultSize);
    ~FileWindow();
    FileWindow(const FileWindow &) = delete;
    FileWindow &operator=(const FileWindow &) = delete;

    int next()
    {
        if (at_ == end_ && !refill())
            return EOF;
        return static_cast<unsigned char>(window_[at_++]);
    }
    // Only the character just read comes back, as with ungetc.
    void putBack(int c)
    {
        if (c != EOF)
            --at_;
    }
    bool failed() const { return failed_; }

    // The unread part of the window, for scans that look at a whole token
    // at once; skipTo() consumes up to (not including) `p`.
    const char *cursor() const { return window_.get() + at_; }
    const char *limit() const { return window_.get() + end_; }
    void skipTo(const char *p) { at_ = static_cast<std::size_t>(p - window_.get()); }

    // Bytes taken from the file and not put back.
    long consumed() const { return static_cast<long>(before_ + at_); }

private:
    bool refill();

    int fd_;
    std::size_t size_;
    std::unique_ptr<char[]> window_;
    bool spare_ = false;  // window_ is the spare buffer, given back at the end
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    std::size_t before_ = 0;  // bytes of the file ahead of the window
    bool ended_ = false;
    bool failed_ = false;
};

}  // namespace treekeep

#endif
