#include "tests/support/SingleObjectSampleDocuments.h"

#include "tests/support/ParticleSampleDocuments.h"

using particle_writer::ObjectPathFields;
using particle_writer::StaticObjectFields;

namespace {

void UseDot(particle_writer::ControllerFields& controller, std::u16string name)
{
    controller.base.name = std::move(name);
    controller.block.textureName = u"Dot";
    controller.block.pictures = {{kSampleDotPicture, kSampleDotId}};
    controller.block.particleSize = 200;
}

} // namespace

StaticObjectFields SampleStaticObject()
{
    StaticObjectFields picture;
    picture.turnSpeed = 100;
    picture.reverse = 1;
    picture.single.corners = particle_writer::RectangleCorners(8.0f, 6.0f, 10.0f, 8.0f);
    UseDot(picture.single.controller, u"Turning picture");
    description_writer::TimingFields& timing = picture.single.controller.base.timing;
    timing.selector = 1;
    timing.kind = description_writer::TimelineKind::Random;
    timing.onMin = 200;
    timing.onMax = 400;
    return picture;
}

ObjectPathFields SampleObjectPath(std::u16string name, int points)
{
    ObjectPathFields walker;
    walker.speed = 30;
    walker.orientation = 2;
    for (int i = 0; i < points; ++i)
        walker.path.points.push_back({4.0f + 8.0f * static_cast<float>(i), 4.0f + 2.0f * static_cast<float>(i % 2), 0.0f});
    UseDot(walker.path.controller, std::move(name));
    return walker;
}

std::vector<SampleDocument> SingleObjectSampleDocuments()
{
    const std::vector<std::uint8_t> objects = ParticleSlideDocument(4, [](DocumentWriter& w) {
        particle_writer::WriteStaticObject(w, SampleStaticObject());
        particle_writer::WriteObjectPath(w, SampleObjectPath(u"Walker", 4));
        particle_writer::WriteObjectPath(w, SampleObjectPath(u"Standing", 1));
        particle_writer::WriteObjectPath(w, SampleObjectPath(u"Nowhere", 0));
    });
    const std::vector<std::uint8_t> hugePath = ParticleSlideDocument(1, [](DocumentWriter& w) {
        w.Section(u"KXI_SigleObjectPath", 1).Dword(10).Int(0);
        w.Section(u"KXI_ParticlePathCtrl", 1).Int(0x7FFFFFFF).Float(1.0f).Float(2.0f).Float(0.0f);
    });
    return {
        {"single-objects.vsd", objects, true},
        {"single-objects-huge-path.vsd", hugePath, false},
    };
}
