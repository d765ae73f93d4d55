#include "tests/support/SampleParticleDocuments.h"

#include "tests/support/DocumentWriter.h"
#include "tests/support/ParticleSystemWriter.h"
#include "tests/support/PictureSceneWriter.h"

std::vector<std::uint8_t> ExplosionsDocument()
{
    using namespace particle_writer;
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Explosions");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(2);

    ExplosionFields current;
    current.noise1 = 30;
    current.noise2 = 40;
    current.noise3 = 50;
    current.direction = 45;
    current.speed = 80;
    current.seed = 1234;
    current.randomOffsets = 1;
    current.secondColour = 0x0000FF;
    current.stat.centre = {10.0f, 20.0f, 0.0f};
    current.stat.width = 9;
    current.stat.height = 7;
    current.stat.base.fx.effect = {u"common_res.dll", 300};
    SpriteFields& sprite = current.stat.base.fx.sprite;
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
    WriteExplosion(w, current);

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
