// progErrorMessage: runs f and returns the message of the ProgError it throws, or "no error",
// so that a test can state the exact error text it expects in one line.
#pragma once

#include "gcad/host/base/vaq_prog_error.h"

#include <string>

namespace Vaq::Test {

template<typename F> std::string progErrorMessage(F &&f)
{
    try {
        f();
    } catch (const ProgError &e) {
        return e.message().toStdString();
    }
    return "no error";
}

} // namespace Vaq::Test
