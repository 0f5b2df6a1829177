// A small well-formedness check of SVG documents, so that tests need no
// browser and no XML library.
#ifndef TWINSCAN_TESTS_SVG_CHECK_H
#define TWINSCAN_TESTS_SVG_CHECK_H

#include <string>
#include <vector>

// Every tag closed in order, every attribute quoted, no bare '&' or '<'.
inline bool well_formed(const std::string &xml, std::string &why)
{
    std::vector<std::string> open;
    size_t i = xml.find("<svg");
    if (xml.rfind("<?xml", 0) != 0 || i == std::string::npos) {
        why = "no prolog or no svg element";
        return false;
    }
    while (i < xml.size()) {
        if (xml[i] == '&') {
            size_t semi = xml.find(';', i);
            if (semi == std::string::npos || semi - i > 6) {
                why = "bare & at " + std::to_string(i);
                return false;
            }
            i = semi + 1;
            continue;
        }
        if (xml[i] != '<') {
            ++i;
            continue;
        }
        size_t end = i + 1;
        bool quoted = false;
        while (end < xml.size() && (quoted || xml[end] != '>')) {
            if (xml[end] == '"')
                quoted = !quoted;
            else if (!quoted && xml[end] == '<') {
                why = "'<' inside a tag at " + std::to_string(end);
                return false;
            }
            ++end;
        }
        if (end >= xml.size()) {
            why = "unterminated tag";
            return false;
        }
        std::string tag = xml.substr(i + 1, end - i - 1);
        std::string name = tag.substr(0, tag.find_first_of(" \n/"));
        if (tag[0] == '/') {
            if (open.empty() || open.back() != tag.substr(1)) {
                why = "mismatched </" + tag.substr(1) + ">";
                return false;
            }
            open.pop_back();
        } else if (tag.back() != '/') {
            open.push_back(name);
        }
        i = end + 1;
    }
    if (!open.empty())
        why = "unclosed <" + open.back() + ">";
    return open.empty();
}

// Every byte belongs to a well-formed UTF-8 sequence: the shortest form of a
// code point up to U+10FFFF that is no surrogate.
inline bool utf8_clean(const std::string &text, std::string &why)
{
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3
                                         : lead >> 3 == 30 ? 4 : 0;
        unsigned long code = length == 1 ? lead : length == 2 ? lead & 0x1F
                                     : length == 3 ? lead & 0x0F : lead & 0x07;
        for (size_t k = 1; length > 1 && k < length; ++k) {
            const auto next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
            if (next >> 6 != 2) {
                length = 0;
                break;
            }
            code = code << 6 | (next & 0x3F);
        }
        const unsigned long shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (length == 0 || code < shortest[length] || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            why = "not UTF-8 at byte " + std::to_string(i);
            return false;
        }
        i += length;
    }
    return true;
}

#endif
