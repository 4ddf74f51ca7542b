#include "gcad/host/base/vaq_tokenize.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Vaq;

TEST(Tokenize, everyTextBecomesOneTokenAndComesBack)
{
    const std::string texts[] = { "", "llvmpipe (LLVM 15.0.6, 256 bits)", "a\tb\nc\r\v\f", "back\\slash",
        "\\e", "\\", " ", "ends with \\" };
    std::stringstream stream;
    for (const std::string &text : texts)
        stream << tokenize(text, true) << ' ';

    // Read back with whitespace-skipping extraction, as the file readers do.
    for (const std::string &text : texts) {
        std::string token;
        ASSERT_TRUE(stream >> token) << "token for \"" << text << "\" missing";
        EXPECT_EQ(token.find_first_of(" \t\n\r\v\f"), std::string::npos);
        EXPECT_EQ(untokenize(token, true), text);
    }
    std::string rest;
    EXPECT_FALSE(stream >> rest);
}

TEST(Tokenize, withoutKeepEmptyAndDamagedTokensTextStaysAsItIs)
{
    EXPECT_EQ(tokenize("", false), "");
    EXPECT_EQ(untokenize("\\e", false), "\\e");
    EXPECT_EQ(untokenize("a\\qb\\", true), "a\\qb\\");
}
