#pragma once
// Writes the stored records of the path stream, the trace and the
// through-space flight byte for byte as the engine reads them (through-space
// in versions 1 to 3), and sample documents holding them for the
// inspector's test and the fuzzer's seeds.

#include <array>
#include <cstdint>
#include <vector>

#include "tests/support/ParticleWriter.h"
#include "tests/support/SampleDocuments.h"

namespace particle_writer {

using Vec3Fields = std::array<float, 3>;

// A spline point: position and its outgoing and incoming handles.
struct SplinePointFields {
    Vec3Fields position{};
    Vec3Fields outgoing{};
    Vec3Fields incoming{};
};

struct PathStreamFields {
    std::vector<SplinePointFields> points;
    std::uint32_t rate = 100; // x 0.2 per second
    std::uint32_t speed = 1;
    std::uint32_t speedJitter = 0;
    std::uint32_t width = 0;
    std::int32_t wanderMode = 0;
    std::uint32_t waveFrequency = 0;
    std::uint32_t startWidth = 0;
    std::uint32_t endWidth = 0;
    std::uint32_t wideningEnd = 0;
    std::uint32_t narrowingStart = 0;
    ControllerFields controller;
};

struct TraceFields {
    std::vector<SplinePointFields> points;
    std::uint32_t count = 0;
    std::uint32_t lifetime = 0; // hundredths of a second
    std::uint32_t scatterRadius = 0;
    std::uint32_t speed = 0;
    ControllerFields controller;
};

struct ThroughSpaceFields {
    std::int32_t version = 3;
    std::uint32_t rate = 100;
    std::array<Vec3Fields, 4> area{};
    std::uint32_t rotationSpeed = 1;
    std::int32_t rotationDirection = 0;
    Vec3Fields centre{};
    std::uint8_t receding = 0;
    std::uint32_t speed = 1; // version 2 and later
    ControllerFields controller;
};

// Points along a straight line from `from` to `to` with handles a third of
// a segment long, so the sampled curve is that line.
std::vector<SplinePointFields> StraightSplinePoints(Vec3Fields from, Vec3Fields to, int points);

DocumentWriter& WriteSplinePointList(DocumentWriter& w, const std::vector<SplinePointFields>& points);
// The whole records: class name, version, the fields, the controller.
DocumentWriter& WritePathStream(DocumentWriter& w, const PathStreamFields& fields);
DocumentWriter& WriteTrace(DocumentWriter& w, const TraceFields& fields);
DocumentWriter& WriteThroughSpace(DocumentWriter& w, const ThroughSpaceFields& fields);

} // namespace particle_writer

// One slide with a path stream, a trace and through-space flights of every
// version, and damaged forms of them.
std::vector<SampleDocument> PathSystemSampleDocuments();
