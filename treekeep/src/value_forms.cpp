// Texts of the value rules: quoted values, reals and lists in a refusal's
// detail, and the text of a whole refusal.
#include "value_forms.h"

#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "real_format.h"
#include "treekeep_files.h"
#include "treekeep_internal.h"

namespace treekeep {
namespace {

// `text` into `buffer` as the texts of this header are stored: at most
// size - 1 bytes and a terminator; the whole length returned.
std::size_t store(std::string_view text, char *buffer, std::size_t size)
{
    if (buffer != nullptr && size > 0) {
        const std::size_t kept = text.size() < size ? text.size() : size - 1;
        std::memcpy(buffer, text.data(), kept);
        buffer[kept] = '\0';
    }
    return text.size();
}

}  // namespace

std::string quotedText(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string realText(double value)
{
    char text[kRealTextMax];
    return std::string(text, formatReal(value, text));
}

std::string listText(const ValueNode *node, int count, int type)
{
    std::string out;
    for (int i = 0; i < count && node != nullptr; ++i, node = node->next) {
        if (i != 0)
            out += ' ';
        out += type == T_STRING ? quotedText(node->string != nullptr ? node->string : "")
                                : realText(node->real);
    }
    return out;
}

void giveDetail(P_verdict *verdict, std::string_view detail)
{
    if (verdict != nullptr)
        verdict->length = store(detail, verdict->detail, verdict->size);
}

varInfo *findRecord(int tree, const char *name, int &code)
{
    SymbolNode **root = getTreeRoot(getRoot(tree));
    if (root == nullptr) {
        code = P_NOTREE;
        return nullptr;
    }
    varInfo *record = rfindVar(name, root);
    code = record != nullptr ? P_OK : P_NOVAR;
    return record;
}

}  // namespace treekeep

extern "C" int P_valuereal(const char *text, double *value)
{
    // strtod would skip a leading blank; a trailing one ends the number
    // before the end of the text and so fails below.
    if (text == nullptr || *text == '\0' || std::isspace(static_cast<unsigned char>(*text)))
        return P_REAL_NONUMBER;
    char *end = nullptr;
    errno = 0;
    const double read = std::strtod(text, &end);
    if (end == text || *end != '\0')
        return P_REAL_NONUMBER;
    if (errno == ERANGE || !std::isfinite(read))
        return P_REAL_UNUSABLE;
    if (value != nullptr)
        *value = read;
    return P_REAL_NUMBER;
}

extern "C" size_t P_quoted(const char *text, size_t length, char *buffer, size_t size)
{
    const std::string quoted =
        treekeep::quotedText(text != nullptr ? std::string_view(text, length) : std::string_view());
    return treekeep::store(quoted, buffer, size);
}

extern "C" size_t P_refusaltext(int code, const char *name, const char *detail, char *buffer,
                                size_t size)
{
    // The name is not part of the store's prefix, which a long name would
    // cut short.
    const std::size_t nameLength = name != nullptr ? std::strlen(name) : 0;
    std::string text(P_printable(name, nameLength, nullptr, 0), '\0');
    P_printable(name, nameLength, text.data(), text.size() + 1);
    char words[P_ERR_MESSAGE_MAX + 1];
    wordCode(code, "", "", words);
    text += ": ";
    text += words;
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (detail != nullptr && *detail != '\0')
        text += std::string(" (") + detail + ")";
    return treekeep::store(text, buffer, size);
}
