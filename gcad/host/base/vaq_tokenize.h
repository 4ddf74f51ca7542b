// tokenize/untokenize: turn any text into one token without white space and back, so that
// texts can be written into whitespace-separated files and read with ">>".
// Escapes: "\\" for a backslash, "\s" blank, "\t" tab, "\n" line feed, "\r" carriage
// return, "\v" vertical tab, "\f" form feed. With keepEmpty the empty text becomes the token
// "\e" (a lone escape no non-empty text produces), so it still occupies one token.
#pragma once

#include <string>

namespace Vaq {

std::string tokenize(const std::string &text, bool keepEmpty);

// Reverses tokenize. Unknown escapes and a trailing backslash are kept as they stand, so
// a damaged token still yields a text.
std::string untokenize(const std::string &token, bool keepEmpty);

} // namespace Vaq
