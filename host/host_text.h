#pragma once
#include "host/sdk/host_types.h"
#include "toolkit/platform/text.h"

#include <cstring>
#include <string>
#include <string_view>

// A host name buffer as UTF-8: the host writes the ANSI code page, and a missing terminator must not run
// past the buffer.
template <size_t size>
std::string FromHostBuffer(const A_char (&buffer)[size])
{
    return qzsdk::ansi_to_utf8(std::string_view(buffer, strnlen(buffer, size)));
}
