// Captures what the error sink emits while an object of this type lives.
#ifndef PSENV_TESTS_SINK_CAPTURE_H
#define PSENV_TESTS_SINK_CAPTURE_H

#include <string>

#include "errsink.h"

class SinkCapture {
public:
    SinkCapture() { previous_ = Werrprintf_set_hook(&SinkCapture::collect, &text_); }
    ~SinkCapture() { Werrprintf_set_hook(previous_, nullptr); }
    SinkCapture(const SinkCapture &) = delete;
    SinkCapture &operator=(const SinkCapture &) = delete;

    const std::string &text() const { return text_; }
    void clear() { text_.clear(); }

private:
    static void collect(const char *text, void *context)
    {
        static_cast<std::string *>(context)->append(text);
    }
    std::string text_;
    werr_hook previous_ = nullptr;
};

#endif
