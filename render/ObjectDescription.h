#pragma once
// Small records that scene-object descriptions and their render objects
// hand to their callers: the rectangles an object covers, the picture that
// previews it, and the file links it uses.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/crt/WinTypes.h"

class DS_FileLink3;
class DS_ImageFileLink;

// A rectangle an object covers, in picture pixels: origin and extent.
struct BoundingRect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;

    friend bool operator==(const BoundingRect&, const BoundingRect&) = default;
};

using BoundingRectList = std::vector<BoundingRect>;

// The picture that stands for an object in a list of objects: an image link
// (none for objects without a picture), the image kind (2: an animated
// picture), and the horizontal texture range of the first frame (start and
// width, so that a strip of frames shows only its first one).
struct PreviewImage {
    const DS_FileLink3* link = nullptr;
    std::int32_t imageKind = 0;
    float frameStart = 0.0f;
    float frameWidth = 1.0f;
};

// One file link that an object uses, as a copy of its own with a fresh undo
// history, and the colour it is drawn with.
struct CollectedFileLink {
    CollectedFileLink();
    CollectedFileLink(std::unique_ptr<DS_ImageFileLink> link, COLORREF colour);
    CollectedFileLink(CollectedFileLink&&) noexcept;
    CollectedFileLink& operator=(CollectedFileLink&&) noexcept;
    ~CollectedFileLink();

    std::unique_ptr<DS_ImageFileLink> link;
    COLORREF colour = 0;
};

using FileLinkList = std::vector<CollectedFileLink>;
