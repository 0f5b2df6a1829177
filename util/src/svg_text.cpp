#include "psenv_util/svg_writer.h"

namespace psenv::util {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at the start of `text` (no
// overlong forms, no surrogates, nothing above U+10FFFF), or 0.
std::size_t utf8_sequence(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong form
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;  // no overlong form
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

// U+FFFE and U+FFFF are UTF-8 but no characters of XML.
bool noncharacter(std::string_view sequence)
{
    return sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF";
}

}  // namespace

std::string svg_text(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    while (!raw.empty()) {
        const std::size_t length = utf8_sequence(raw);
        if (length == 0) {
            out += kReplacement;
            raw.remove_prefix(1);
            continue;
        }
        const std::string_view sequence = raw.substr(0, length);
        raw.remove_prefix(length);
        if (length > 1) {
            out += noncharacter(sequence) ? kReplacement : sequence;
            continue;
        }
        const char c = sequence.front();
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\t': out += c; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += kReplacement;
            else
                out += c;
        }
    }
    return out;
}

}  // namespace psenv::util
