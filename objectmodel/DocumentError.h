#pragma once
// The two ways a scene document is refused.
//
// DS_Error: the document was found but its content is unusable (wrong
// format, truncated, an unknown class, a size that cannot be right). It
// carries the message as a wide string and, for std::exception handlers,
// the same text in UTF-8 through what().
//
// DocumentOpenFailure: the document could not be opened at all (no such
// file, no such embedded resource). It carries the program's fixed code.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/crt/WideString.h"

class DS_Error : public std::runtime_error {
public:
    explicit DS_Error(kxi_string message)
        : std::runtime_error(crt::ToUtf8(message)), m_message(std::move(message))
    {
    }

    const kxi_string& Message() const { return m_message; }

private:
    kxi_string m_message;
};

// The code thrown when a document cannot be opened at all.
inline constexpr std::uint32_t kDocumentOpenFailureCode = 0x8200000Bu;

struct DocumentOpenFailure {
    std::uint32_t code = kDocumentOpenFailureCode;
};
