// Refilling the window of a file the loader reads itself.
#include "record_source.h"

#include <unistd.h>

#include <cerrno>
#include <new>

namespace treekeep {

namespace {

// One window of the default size is kept between loads: allocating and
// freeing 64 KiB at the top of the heap each time lets the heap shrink and
// grow again, page faults included.
std::unique_ptr<char[]> spareWindow;

}  // namespace

FileWindow::FileWindow(int fd, std::size_t size) : fd_(fd), size_(size > 0 ? size : 1)
{
    if (size_ == kDefaultSize && spareWindow) {
        window_ = std::move(spareWindow);
        spare_ = true;
    } else {
        window_.reset(new (std::nothrow) char[size_]);
        spare_ = size_ == kDefaultSize;
    }
    if (!window_)
        failed_ = true;
}

FileWindow::~FileWindow()
{
    if (spare_ && window_ && !spareWindow)
        spareWindow = std::move(window_);
}

bool FileWindow::refill()
{
    // Like a stream's end-of-file flag, the end once met stays.
    if (ended_ || failed_)
        return false;
    // A refill only happens inside next(), so the character a later
    // putBack() returns is always the one this refill brings in.
    before_ += end_;
    at_ = 0;
    end_ = 0;
    for (;;) {
        const ssize_t got = read(fd_, window_.get(), size_);
        if (got > 0) {
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) {
            ended_ = true;
            return false;
        }
        if (errno != EINTR) {
            failed_ = true;
            return false;
        }
    }
}

}  // namespace treekeep
