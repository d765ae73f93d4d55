#include "render/PictureBudget.h"

#include <atomic>
#include <string>

#include "objectmodel/DocumentError.h"
#include "platform/gfx/ImageCodec.h"

namespace {

std::atomic<std::uint64_t> g_budgetOverride{0};

} // namespace

std::uint64_t DocumentPictureBudget()
{
    const std::uint64_t lowered = g_budgetOverride.load();
    return lowered ? lowered : kDocumentPictureBudget;
}

void SetDocumentPictureBudgetForTesting(std::uint64_t bytes)
{
    g_budgetOverride.store(bytes);
}

void PictureBudget::Charge(std::span<const std::uint8_t> picture)
{
    const auto size = gfx::ReadPictureSize(picture);
    if (!size)
        return;
    m_used += size->DecodedBytes();
    if (m_used > m_limit) {
        const std::string limit = m_limit % (1 << 20) == 0 ? std::to_string(m_limit >> 20) + " MB"
                                                           : std::to_string(m_limit) + " bytes";
        throw DS_Error(crt::FromUtf8("the document's pictures take more than " + limit +
                                     " decoded, the limit for one document"));
    }
}
