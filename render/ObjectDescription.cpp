#include "render/ObjectDescription.h"

#include "render/FileLink.h"

CollectedFileLink::CollectedFileLink() = default;

CollectedFileLink::CollectedFileLink(std::unique_ptr<DS_ImageFileLink> link, COLORREF colour)
    : link(std::move(link)), colour(colour)
{
}

CollectedFileLink::CollectedFileLink(CollectedFileLink&&) noexcept = default;
CollectedFileLink& CollectedFileLink::operator=(CollectedFileLink&&) noexcept = default;
CollectedFileLink::~CollectedFileLink() = default;
