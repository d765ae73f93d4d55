#pragma once

// Fixed records of parameters that several owners share, with their stored
// forms and the stored forms of the shape parameters.
//
// ColorSequenceParams: a colour mode and a random-pick flag, a list of
//   colour words (white, then black by default) and a transparency whose
//   byte copy is the alpha.
// PercentParamQuad: four percentages with float copies (value / 100):
//   0 %, 100 %, 0 %, 0 % by default.
// PercentParamGroup: a leading int and seven percentages with float copies:
//   0, 0, 100, 100, 0, 0, 1 % by default.

#include <array>
#include <cstdint>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "objectmodel/SmartVector.h"
#include "platform/crt/WinTypes.h"

struct ColorSequenceParams {
    static constexpr COLORREF kFirstColor = 0x00FFFFFF;
    static constexpr COLORREF kSecondColor = 0x00000000;
    static constexpr std::int32_t kStoredTag = 1;

    ColorSequenceParams();

    MediaParamT<std::int32_t> colorMode{0};
    MediaParamT<std::int32_t> randomPick{0};
    KXI_SmartVector<COLORREF> colors;
    UINTSclaleTo<std::uint8_t> transparency{-2.55f, 255.0f, 0};
};

struct PercentParamQuad {
    static constexpr float kPercent = 0.01f;

    PercentParamQuad();

    // Changed-value set (null source) of each value from `other`.
    void Assign(const PercentParamQuad& other);

    std::array<UINTSclaleTo<float>, 4> percents;
};

struct PercentParamGroup {
    static constexpr float kPercent = 0.01f;
    static constexpr std::int32_t kDefaultTag = 1;

    PercentParamGroup();

    std::int32_t tag = kDefaultTag;
    std::array<UINTSclaleTo<float>, 7> percents;
};

// Stored forms. Each writer mirrors its reader field for field.

// int32 1 (read, not kept); the colours: checked int32 count, then the
// words (the list is cleared first; stored directly); colour mode and
// random-pick flag (int32, stored directly); transparency (uint32,
// changed-value set).
void ReadColorSequenceParams(ArchiveReader ar, ColorSequenceParams& params);
void WriteColorSequenceParams(ArchiveWriter ar, const ColorSequenceParams& params);

// Four uint32, each a changed-value set.
void ReadPercentParamQuad(ArchiveReader ar, PercentParamQuad& quad);
void WritePercentParamQuad(ArchiveWriter ar, const PercentParamQuad& quad);

// int32 (read, not kept), then seven uint32, each a changed-value set.
void ReadPercentParamGroup(ArchiveReader ar, PercentParamGroup& group);
void WritePercentParamGroup(ArchiveWriter ar, const PercentParamGroup& group);

// A jittered value: uint32 value, uint32 jitter percentage, each a
// changed-value set.
void ReadJitterParam(ArchiveReader ar, KXI_JitterParam& param);
void WriteJitterParam(ArchiveWriter ar, const KXI_JitterParam& param);

// Twelve floats, corner 0 x, y, z to corner 3; direct stores.
void ReadMediaQuad(ArchiveReader ar, MediaQuad& quad);
void WriteMediaQuad(ArchiveWriter ar, const MediaQuad& quad);

// Left, right, top, bottom, centre x, centre y: six int32; direct stores.
void ReadMediaRectangle(ArchiveReader ar, MediaRectangle& rectangle);
void WriteMediaRectangle(ArchiveWriter ar, const MediaRectangle& rectangle);
