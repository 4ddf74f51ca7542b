#include "gcad/host/base/vaq_tokenize.h"

namespace Vaq {

namespace {
const char kEmptyToken[] = "\\e";
}

std::string tokenize(const std::string &text, bool keepEmpty)
{
    if (text.empty())
        return keepEmpty ? std::string(kEmptyToken) : std::string();

    std::string token;
    token.reserve(text.size() + 8);
    for (char c : text) {
        switch (c) {
        case '\\': token += "\\\\"; break;
        case ' ': token += "\\s"; break;
        case '\t': token += "\\t"; break;
        case '\n': token += "\\n"; break;
        case '\r': token += "\\r"; break;
        case '\v': token += "\\v"; break;
        case '\f': token += "\\f"; break;
        default: token += c; break;
        }
    }
    return token;
}

std::string untokenize(const std::string &token, bool keepEmpty)
{
    if (keepEmpty && token == kEmptyToken)
        return std::string();

    std::string text;
    text.reserve(token.size());
    for (size_t i = 0; i < token.size(); ++i) {
        const char c = token[i];
        if (c != '\\' || i + 1 == token.size()) {
            text += c;
            continue;
        }
        const char e = token[++i];
        switch (e) {
        case '\\': text += '\\'; break;
        case 's': text += ' '; break;
        case 't': text += '\t'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 'v': text += '\v'; break;
        case 'f': text += '\f'; break;
        default:
            text += '\\';
            text += e;
            break;
        }
    }
    return text;
}

} // namespace Vaq
