#pragma once
// The total that the pictures a document stores may take once decoded.
// Each picture may be up to 8192 x 8192 (256 MB decoded) and compresses to a
// few hundred KB, so a small document could otherwise make us decode
// gigabytes while it is read. Every stored picture is counted from its
// header before it is decoded; the one that goes over the budget refuses the
// document (DS_Error naming the limit) and is never decoded.

#include <cstdint>
#include <span>

// 1 GiB of 32-bit pixels.
inline constexpr std::uint64_t kDocumentPictureBudget = std::uint64_t(1) << 30;

// The budget documents are read with: kDocumentPictureBudget unless a test
// lowered it.
std::uint64_t DocumentPictureBudget();
// Test hook: another budget for documents read afterwards; 0 restores the
// standard one.
void SetDocumentPictureBudgetForTesting(std::uint64_t bytes);

class PictureBudget {
public:
    explicit PictureBudget(std::uint64_t limit = DocumentPictureBudget()) : m_limit(limit) {}

    // Counts one stored picture from its header; throws DS_Error when the
    // pictures counted so far exceed the limit. Bytes whose header is not a
    // picture's count nothing (they decode to nothing either).
    void Charge(std::span<const std::uint8_t> picture);

    std::uint64_t Used() const { return m_used; }

private:
    std::uint64_t m_limit;
    std::uint64_t m_used = 0;
};
