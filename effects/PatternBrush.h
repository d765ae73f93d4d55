#pragma once
// Image effects that lay a picture over the picture (road A):
//
//   DS_PatternBrush    tiles a pattern picture (still or animated), turned,
//                      mirrored and shifted, tinted by "mix_color" whose
//                      alpha is the timeline's level in timing mode 1.
//   DS_PatternBrushC   the same effect stored under its own class name.
//   DS_BackgroundCopy  copies the picture onto itself with an offset; a
//                      flag adds 1.0 along its axis, which mirrors the copy.
//
// An animated pattern steps one frame when more than the current frame's
// duration of effect phase has passed since the frame began; the frame
// index wraps by the number of frames that have both a duration and a
// texture. A pattern of width or height 0 (none loaded) draws nothing; a
// tile size of 0 counts as 1.
//
// Stored levels, after the class name and version 1:
//   "DS_PatternBrush"    pattern link (path, 8-byte id), int32 flip y, int32
//                        flip x, uint32 angle, uint32 tile size, uint32
//                        offset x, uint32 offset y; the DS_FX_Constructor
//                        level. Flags and angle are stored directly, the
//                        three scaled values through their setters.
//   "DS_PatternBrushC"   nothing; the whole "DS_PatternBrush" level.
//   "DS_BackgroundCopy"  rectangle (four edges, then the two extra values,
//                        int32 each), int32 y flag, int32 x flag; the
//                        DS_FX_Constructor level.

#include <array>

#include "effects/ImageEffect.h"
#include "render/FileLink.h"
#include "render/SpriteFrameInfo.h"

class DS_PatternBrush : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_PatternBrush";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "pattern-brush";

    DS_PatternBrush();
    DS_PatternBrush(const DS_PatternBrush& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The base attach, then LoadPattern.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // The pattern of the link from the current document: its texture set
    // for a module link (".dll"), else its picture; frame 0.
    void LoadPattern();
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    // The tagged reader of the "DS_PatternBrush" level.
    static void Load(ArchiveReader ar, DS_PatternBrush& fx);

    DS_ImageFileLink patternLink;
    MediaParamT<std::int32_t> flipY;
    MediaParamT<std::int32_t> flipX;
    MediaParamT<std::uint32_t> angle;
    UINTSclaleTo<float> tileSize{0.01f, 0.0f, 100};
    UINTSclaleTo<float> offsetX{-0.01f, 0.0f, 0};
    UINTSclaleTo<float> offsetY{0.01f, 0.0f, 0};
    // The pattern's frames with their durations (seconds), its size, and
    // the frame shown with the phase at which it began.
    SpriteFrameInfo pattern;
    std::array<float, 2> tileCounts{1.0f, 1.0f};

protected:
    void SavePatternLevel(ArchiveWriter ar) const;
};

class DS_PatternBrushC : public DS_PatternBrush {
public:
    static constexpr std::u16string_view kClassName = u"DS_PatternBrushC";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_PatternBrushC() = default;
    DS_PatternBrushC(const DS_PatternBrushC& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
};

class DS_BackgroundCopy : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_BackgroundCopy";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "background-copy";

    DS_BackgroundCopy();
    DS_BackgroundCopy(const DS_BackgroundCopy& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    void Apply(DS_ABRender& host) override;

    MediaRectangle rectangle;
    MediaParamT<std::int32_t> flagY;
    MediaParamT<std::int32_t> flagX;
};
