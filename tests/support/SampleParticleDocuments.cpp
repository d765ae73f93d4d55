#include "tests/support/SampleParticleDocuments.h"

#include "tests/support/DocumentWriter.h"
#include "tests/support/ParticleSystemWriter.h"
#include "tests/support/PictureSceneWriter.h"

particle_writer::ExplosionFields SampleExplosionFields()
{
    using namespace particle_writer;
    ExplosionFields f;
    f.noise1 = 30;
    f.noise2 = 40;
    f.noise3 = 50;
    f.direction = 45;
    f.speed = 80;
    f.seed = 1234;
    f.randomOffsets = 1;
    f.secondColour = 0x0000FF;
    f.stat.centre = {10.0f, 20.0f, 0.0f};
    f.stat.width = 9;
    f.stat.height = 7;
    f.stat.base.fx.effect = {u"common_res.dll", 300};
    SpriteFields& sprite = f.stat.base.fx.sprite;
    sprite.spriteCount = 1;
    sprite.spriteSize = 250;
    sprite.blendMode = 1;
    sprite.spriteImage = {u"pictures\\gradient.bmp", 6};
    sprite.secondImage = {u"pictures\\noise.bmp", 7};
    sprite.view.base.name = u"Blast";
    sprite.view.base.timing.selector = 1;
    sprite.view.base.timing.kind = description_writer::TimelineKind::Random;
    sprite.view.base.timing.fadeIn = 40;
    sprite.view.base.timing.onMin = 100;
    sprite.view.base.timing.onMax = 150;
    sprite.view.base.timing.fadeOut = 60;
    sprite.view.base.timing.offMin = 200;
    sprite.view.base.timing.offMax = 300;
    return f;
}

std::vector<std::uint8_t> ExplosionsDocument()
{
    using namespace particle_writer;
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Explosions");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(2);

    WriteExplosion(w, SampleExplosionFields());

    ExplosionFields legacy;
    legacy.version = 1;
    legacy.legacyTiming = {100, 200, 300, 40, 50};
    legacy.stat.version = 1;
    legacy.stat.base.fx.sprite.view.base.name = u"Old blast";
    WriteExplosion(w, legacy);

    w.Count(0);
    w.AudioFiles({});
    w.DocResManager({});
    return w.Bytes();
}
