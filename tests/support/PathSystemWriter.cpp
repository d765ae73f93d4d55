#include "tests/support/PathSystemWriter.h"

#include "tests/support/BmpFixture.h"
#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/PictureSceneWriter.h"

namespace particle_writer {

namespace {

DocumentWriter& Vec3(DocumentWriter& w, const Vec3Fields& v)
{
    return w.Float(v[0]).Float(v[1]).Float(v[2]);
}

} // namespace

std::vector<SplinePointFields> StraightSplinePoints(Vec3Fields from, Vec3Fields to, int points)
{
    std::vector<SplinePointFields> out;
    if (points < 2)
        points = 2;
    const float segments = static_cast<float>(points - 1);
    Vec3Fields handle{};
    for (int axis = 0; axis < 3; ++axis)
        handle[static_cast<std::size_t>(axis)] = (to[static_cast<std::size_t>(axis)] - from[static_cast<std::size_t>(axis)]) / segments / 3.0f;
    for (int i = 0; i < points; ++i) {
        SplinePointFields point;
        const float t = static_cast<float>(i) / segments;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            point.position[axis] = from[axis] + (to[axis] - from[axis]) * t;
            point.outgoing[axis] = handle[axis];
            point.incoming[axis] = -handle[axis];
        }
        out.push_back(point);
    }
    return out;
}

DocumentWriter& WriteSplinePointList(DocumentWriter& w, const std::vector<SplinePointFields>& points)
{
    w.Count(points.size());
    for (const SplinePointFields& point : points) {
        w.Int(1);
        Vec3(w, point.position);
        Vec3(w, point.outgoing);
        Vec3(w, point.incoming);
    }
    return w;
}

DocumentWriter& WritePathStream(DocumentWriter& w, const PathStreamFields& f)
{
    w.Section(u"KXI_ParticlePath", 1);
    WriteSplinePointList(w, f.points);
    w.Dword(f.rate).Dword(f.speed).Dword(f.speedJitter).Dword(f.width).Int(f.wanderMode);
    w.Dword(f.waveFrequency).Dword(f.startWidth).Dword(f.endWidth).Dword(f.wideningEnd).Dword(f.narrowingStart);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteTrace(DocumentWriter& w, const TraceFields& f)
{
    w.Section(u"KXI_ParticleTrace", 1);
    WriteSplinePointList(w, f.points);
    w.Dword(f.count).Dword(f.lifetime).Dword(f.scatterRadius).Dword(f.speed);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteThroughSpace(DocumentWriter& w, const ThroughSpaceFields& f)
{
    w.Section(u"KXI_ThroughSpaceCtrl", f.version).Dword(f.rate);
    for (const Vec3Fields& corner : f.area)
        Vec3(w, corner);
    w.Dword(f.rotationSpeed).Int(f.rotationDirection);
    Vec3(w, f.centre).Byte(f.receding);
    if (f.version >= 2)
        w.Dword(f.speed);
    return WriteController(w, f.controller);
}

} // namespace particle_writer

namespace {

using namespace particle_writer;

PathStreamFields SampleStream()
{
    PathStreamFields stream;
    stream.points = StraightSplinePoints({2.0f, 8.0f, 0.0f}, {30.0f, 8.0f, 0.0f}, 3);
    stream.rate = 50;
    stream.speed = 8;
    stream.speedJitter = 20;
    stream.width = 6;
    stream.wanderMode = 0;
    stream.waveFrequency = 500;
    stream.startWidth = 10;
    stream.endWidth = 40;
    stream.wideningEnd = 20;
    stream.narrowingStart = 80;
    stream.controller = SampleDotController(u"Stream");
    return stream;
}

TraceFields SampleTrace()
{
    TraceFields trace;
    trace.points = StraightSplinePoints({4.0f, 4.0f, 0.0f}, {28.0f, 4.0f, 0.0f}, 2);
    trace.count = 5;
    trace.lifetime = 150;
    trace.scatterRadius = 2;
    trace.speed = 3;
    trace.controller = SampleDotController(u"Trace");
    trace.controller.base.timing.selector = 1;
    trace.controller.base.timing.kind = description_writer::TimelineKind::Random;
    return trace;
}

ThroughSpaceFields SampleFlight(std::int32_t version, std::uint8_t receding)
{
    ThroughSpaceFields flight;
    flight.version = version;
    flight.rate = 200;
    flight.area = {{{0.0f, 0.0f, 0.0f}, {0.0f, 16.0f, 0.0f}, {32.0f, 0.0f, 0.0f}, {32.0f, 16.0f, 0.0f}}};
    flight.rotationSpeed = 10;
    flight.rotationDirection = version == 2 ? 1 : 0;
    flight.centre = {16.0f, 8.0f, 0.0f};
    flight.receding = receding;
    flight.speed = 100;
    flight.controller = SampleDotController(u"Flight " + std::u16string(1, static_cast<char16_t>(u'0' + version)));
    flight.controller.block.textureClock = 100;
    return flight;
}

std::vector<std::uint8_t> PathSystemsDocument(bool damaged)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Paths");
    picture_scene_writer::WriteLightRecord(w, {});
    if (damaged) {
        // A point count far beyond the bytes that remain.
        w.Count(1).Section(u"KXI_ParticlePath", 1).Int(0x10000000).Int(1).Float(0.0f);
        return w.Bytes();
    }
    w.Count(5);
    WritePathStream(w, SampleStream());
    WriteTrace(w, SampleTrace());
    WriteThroughSpace(w, SampleFlight(3, 0));
    WriteThroughSpace(w, SampleFlight(2, 1));
    WriteThroughSpace(w, SampleFlight(1, 0));
    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    record.frames[{kSampleDotPicture, kSampleDotId}] = {
        StoredFrame{bmp_fixture::BmpPicture(4, 4, [](std::uint32_t, std::uint32_t) { return 0xFFFFFFu; }), 0.0f}};
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> PathSystemSampleDocuments()
{
    return {
        {"path-systems.vsd", PathSystemsDocument(false), true},
        {"path-systems-huge-count.vsd", PathSystemsDocument(true), false},
    };
}
