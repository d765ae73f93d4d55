#pragma once
// Writes the stored level of a slide's picture scene ("DS_2D_Light") and the
// camera record inside it ("DSM_Camera") byte for byte as the render layer
// reads them, for any stored version. Each field struct holds the values a
// test wants; the writers emit exactly the fields the given version carries.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/DocumentWriter.h"

namespace picture_scene_writer {

// A camera path point: position, move duration (seconds), zoom (percent).
struct CameraPointFields {
    std::int32_t version = 1; // version 0 points store no zoom
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float duration = 1.0f;
    std::uint32_t zoomPercent = 100;
};

struct CameraFields {
    std::u16string className = u"DSM_Camera";
    std::int32_t version = 3;
    // Version 3 and later: the mode, the path size and the path.
    std::int32_t mode = 0;
    std::uint32_t pathWidth = 0;
    std::uint32_t pathHeight = 0;
    std::vector<CameraPointFields> points;
    // Before version 3: "moving or not" in place of the mode.
    std::int32_t movingFlag = 0;
    std::uint32_t zoomPercent = 120;
    std::uint32_t speed = 50;
    // Version 2 and later.
    std::u16string imagePath = u"common_res.dll";
    std::int64_t imageId = 6;
};

struct LightFields {
    std::u16string className = u"DS_2D_Light";
    std::int32_t version = 3;
    // Version 2 and later: the background link.
    std::u16string backgroundPath = u"common_res.dll";
    std::int64_t backgroundId = 5;
    // Version 3 and later.
    CameraFields camera;
};

DocumentWriter& WriteCameraRecord(DocumentWriter& writer, const CameraFields& camera);
DocumentWriter& WriteLightRecord(DocumentWriter& writer, const LightFields& light);

} // namespace picture_scene_writer
