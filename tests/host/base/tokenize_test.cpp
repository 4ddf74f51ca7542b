#include "gcad/host/base/vaq_tokenize.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Vaq;

TEST(Tokenize, everyTextBecomesOneTokenAndComesBack)
{
    const std::string texts[]
        = { "", "llvmpipe (LLVM 15.0.6, 256 bits)", "a\tb\nc\r\v\f", "\\e", "ends with \\" };
    std::stringstream stream;
    for (const std::string &text : texts)
        stream << tokenize(text, true) << ' ';
    // Read back with whitespace-skipping extraction, as the file readers do.
    for (const std::string &text : texts) {
        std::string token;
        ASSERT_TRUE(stream >> token) << "token for \"" << text << "\" missing";
        EXPECT_EQ(untokenize(token, true), text);
    }
    // A damaged escape stays as it is.
    EXPECT_EQ(untokenize("a\\qb\\", true), "a\\qb\\");
}
