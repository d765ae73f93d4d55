#pragma once
// DS_AirBrush: a textured generator whose particles are painted, not
// emitted: the author places dabs with a brush, the document stores them,
// and each dab is drawn as one textured quad, brush size wide and brush size
// x aspect high (both times the dab's scale channel), turned by its angle
// channel, in the generator's colour with alpha = opacity byte x timeline
// level x the dab's opacity channel. The quads go through the masked draw.
// A plain airbrush never moves: its subclasses decide when the quads are
// written again.
// DS_CustomAirBrush: the brush's own picture, a GIF's frames played by a
// frame clock. It writes its quads again whenever the timeline level
// differs from the level of its last writing, so a brush on a timeline fades
// with it.
//
// Stored sections:
//   "DS_CustomAirBrush", 1: the image link (path, id), frame speed (uint32);
//   then "DS_AirBrush", 3: brush size (uint32), dab count (uint32), per dab
//       x, y, z (floats), a pair count (uint32, 5 when written) and that
//       many pairs of floats, pair k holding channels k and k + 5. Version
//       2 holds one float per pair (channels 0..4; channel 9 becomes 0);
//       version 1 an int32 count and only x, y, z per dab. Pairs past the
//       fifth are read and dropped; fewer leave the other channels at their
//       defaults;
//   then the DS_TexParticleGenerator section.

#include <cstdint>
#include <memory>

#include "particles/generators/GenParticle.h"
#include "particles/generators/TexParticleGenerator.h"
#include "render/SpriteFrameInfo.h"

// What a brush stroke gives a new dab besides its place: a size (the dab's
// scale or size factor, as the class reads it) and a start turn (a fraction
// of a full circle).
struct DabStroke {
    float size = 1.0f;
    float turn = 0.0f;
};

class DS_AirBrush : public DS_TexParticleGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_AirBrush";
    static constexpr std::int32_t kWrittenVersion = 3;
    static constexpr std::uint32_t kStoredPairs = 5;

    // The brush tool's entry: a new dab at the point, then the quads.
    virtual void AddParticleAt(const math::Vec3& point, const DabStroke& stroke);
    // Writes the quads of all dabs (at most a layer's cap) into layer 0 of
    // the kept render object.
    void RebuildBrushQuads();

    void Save(ArchiveWriter ar) const override;
    // The textured BuildGeometry, the mask surface, one empty layer.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // Layer 0 through the masked draw with the first texture.
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // Painted dabs do not move.
    void Step(float, DS_ParticlesObj&) override {}
    bool IsNonBrush() const override { return false; }

    MediaParamT<std::uint32_t> brushSize{0};
    // Height / width of a dab's quad; not stored.
    float aspect = 1.0f;
    GenParticleList dabs;

protected:
    // Reads the DS_AirBrush section, header included.
    void ReadAirBrushSection(ArchiveReader ar);
    // Sizes layer 0 of the kept render object to the drawn dabs and locks
    // it: their count, or -1 without a render object or a lock.
    std::int32_t LockDabLayer();
};

// The number of dabs a layer draws: the list's size held to the layer cap.
std::int32_t DrawnDabCount(const GenParticleList& dabs);

class DS_CustomAirBrush : public DS_AirBrush {
public:
    static constexpr std::u16string_view kClassName = u"DS_CustomAirBrush";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_CustomAirBrush();
    DS_CustomAirBrush(const DS_CustomAirBrush& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // The airbrush geometry, then the image's frames (a ".gif" as an
    // animated picture, any other image as a texture), its ratio as the
    // aspect, then the quads.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // The frame clock and the frames; the quads again when the timeline
    // level changed.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // Layer 0 through the masked draw with the current frame (nothing
    // without one).
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;

    DS_ImageFileLink image;
    MediaSpeedParam frameSpeed;
    SpriteFrameInfo frames;

private:
    void RebuildAtCurrentLevel();
    float m_builtLevel = -1.0f;
};
