#include "tools/demoscene/DemoExplosion.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "render/BuiltinEffects.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/ParticleSystemWriter.h"

namespace {

const description_writer::StoredLink kGradientLink{u"pictures\\fire-gradient.bmp", 301};
const description_writer::StoredLink kNoiseLink{u"pictures\\fire-noise.bmp", 302};
const description_writer::StoredLink kEffectLink{u"effects\\explosion.fx", 303};

constexpr std::uint32_t kGradientWidth = 256;
constexpr std::uint32_t kGradientHeight = 4;
constexpr std::uint32_t kNoiseSize = 128;
constexpr double kPi = 3.14159265358979323846;

std::uint32_t Channel(double value)
{
    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// Smoke black, through deep red and orange, to a white-hot core.
std::uint32_t FireGradient(std::uint32_t x, std::uint32_t)
{
    const double t = double(x) / (kGradientWidth - 1);
    const double r = t * 2.2;
    const double g = (t - 0.3) * 1.8;
    const double b = (t - 0.75) * 3.5;
    return (Channel(r) << 16) | (Channel(g) << 8) | Channel(b);
}

// Grey noise that tiles: a sum of waves whose periods divide the picture.
std::uint32_t TilingNoise(std::uint32_t x, std::uint32_t y)
{
    struct Wave {
        int fx, fy;
        double phase, weight;
    };
    static const Wave waves[] = {{1, 2, 0.3, 0.30}, {3, 1, 1.7, 0.22}, {2, 5, 4.1, 0.16},
                                 {7, 3, 2.9, 0.12}, {5, 9, 0.8, 0.10}, {11, 7, 5.3, 0.10}};
    const double u = 2 * kPi * double(x) / kNoiseSize;
    const double v = 2 * kPi * double(y) / kNoiseSize;
    double value = 0.5;
    for (const Wave& w : waves)
        value += 0.5 * w.weight * std::sin(w.fx * u + w.fy * v + w.phase);
    const std::uint32_t grey = Channel(value);
    return (grey << 16) | (grey << 8) | grey;
}

} // namespace

void WriteDemoExplosion(DocumentWriter& w, std::uint32_t pictureWidth, std::uint32_t pictureHeight)
{
    particle_writer::ExplosionFields fire;
    fire.direction = 60;
    fire.speed = 40;
    fire.seed = 2026;
    fire.secondColour = 0x000030E0; // COLORREF: red E0, green 30
    fire.stat.centre = {pictureWidth * 0.3f, pictureHeight * 0.35f, 0.0f};
    fire.stat.base.fx.effect = kEffectLink;
    description_writer::SpriteFields& sprite = fire.stat.base.fx.sprite;
    sprite.spriteCount = 1;
    sprite.spriteSize = static_cast<std::uint32_t>(pictureHeight * 0.55f);
    sprite.colour = 0x0090F0FF; // COLORREF: a yellow-white core
    sprite.spriteImage = kGradientLink;
    sprite.secondImage = kNoiseLink;
    sprite.view.animationRate = 100;
    description_writer::ConstructorFields& object = sprite.view.base;
    object.name = u"Fireball";
    // A fixed GUID keeps the generated document the same from build to build.
    object.guid = crt::ParseGuid("{3C8E5A71-2B4D-4E6F-9A01-B2C3D4E5F607}");
    object.timing.selector = 1;
    object.timing.kind = description_writer::TimelineKind::Random;
    object.timing.fadeIn = 120;
    object.timing.onMin = 80;
    object.timing.onMax = 160;
    object.timing.fadeOut = 180;
    object.timing.offMin = 150;
    object.timing.offMax = 300;
    particle_writer::WriteExplosion(w, fire);
}

void StoreDemoExplosionResources(DocResManagerRecord& record)
{
    auto picture = [&](const description_writer::StoredLink& link, std::uint32_t width, std::uint32_t height,
                       std::uint32_t (*paint)(std::uint32_t, std::uint32_t)) {
        ModuleResourceBlob stored(link.path.substr(link.path.rfind(u'\\') + 1));
        stored.SetBytes(bmp_fixture::BmpPicture(width, height, paint));
        record.textureSetRecords[LinkKey{link.path, link.id}] = {stored};
    };
    picture(kGradientLink, kGradientWidth, kGradientHeight, FireGradient);
    picture(kNoiseLink, kNoiseSize, kNoiseSize, TilingNoise);

    const auto effect = FindBuiltinEffectSource("explosion");
    ModuleResourceBlob stored(u"explosion.fx");
    stored.SetBytes(std::vector<std::uint8_t>(effect.begin(), effect.end()));
    record.storedResources[LinkKey{kEffectLink.path, kEffectLink.id}] = {stored};
}
