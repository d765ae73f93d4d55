#include "tools/demoscene/WordsSlide.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "render/BuiltinEffects.h"
#include "render/SharedResource.h"
#include "tests/support/DischargeWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tests/support/TextObjectWriter.h"
#include "tools/demoscene/DemoAnimations.h"
#include "tools/demoscene/PngPicture.h"
#include "tools/demoscene/TextPicture.h"

namespace {

using description_writer::StoredLink;
using description_writer::TimelineKind;

constexpr std::uint32_t kWidth = 1920;
constexpr std::uint32_t kHeight = 1080;
constexpr char16_t kPicturePath[] = u"pictures\\words.png";
constexpr std::int64_t kPictureId = 701;
const StoredLink kGlowLink{u"pictures\\words-glow.png", 702};
const StoredLink kPanelTextLink{u"pictures\\words-panel-text.png", 703};
const StoredLink kPanelLink{u"pictures\\words-panel.png", 704};
const StoredLink kTickerLink{u"pictures\\words-ticker.png", 705};
const StoredLink kTextEffectLink{u"effects\\text-description.fx", 710};
const crt::Guid kTitleKey = crt::ParseGuid("{3C0A5E1B-7D24-4F86-9B31-2E5C8A6D4F10}");
const crt::Guid kBannerKey = crt::ParseGuid("{8E4B2D6F-1A93-4C57-B8E2-5F0D3A7C9B21}");

std::uint32_t Rgb(double r, double g, double b)
{
    const auto c = [](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 255.0))); };
    return (c(r) << 16) | (c(g) << 8) | c(b);
}

// A deep blue sky brightening to violet at a low horizon, dark ground.
std::uint32_t Sky(std::uint32_t px, std::uint32_t py)
{
    const double t = (py + 0.5) / kHeight;
    const double horizon = 0.78 + 0.03 * std::sin(px / 140.0);
    if (t > horizon)
        return Rgb(10, 12, 22);
    const double glow = std::exp(-std::pow((horizon - t) / 0.18, 2.0));
    return Rgb(12 + 70 * glow, 16 + 30 * glow, 44 + 80 * glow);
}

// White letters whose alpha is the coverage.
std::vector<std::uint8_t> LetterPixels(const TextPicture& text)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(text.coverage.size() * 4);
    for (const std::uint8_t c : text.coverage)
        rgba.insert(rgba.end(), {255, 255, 255, c});
    return rgba;
}

// A rounded, half-transparent panel of the text picture's size.
std::vector<std::uint8_t> PanelPixels(std::uint32_t width, std::uint32_t height)
{
    const double radius = height * 0.3;
    std::vector<std::uint8_t> rgba;
    rgba.reserve(std::size_t(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const double dx = std::max({radius - (x + 0.5), (x + 0.5) - (width - radius), 0.0});
            const double dy = std::max({radius - (y + 0.5), (y + 0.5) - (height - radius), 0.0});
            const double inside = std::clamp(radius - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
            rgba.insert(rgba.end(), {30, 60, 110, std::uint8_t(std::lround(170 * inside))});
        }
    return rgba;
}

// A soft glow along u, brightest on the middle line, so that the glow of
// one segment runs on into the next.
std::vector<std::uint8_t> GlowPixels(std::uint32_t side)
{
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x) {
            const double v = (y + 0.5) / side * 2 - 1;
            const double a = std::exp(-v * v * 4.0) * std::clamp(1 - std::fabs(v), 0.0, 1.0);
            rgba.insert(rgba.end(), {255, 255, 255, std::uint8_t(std::lround(255 * a))});
        }
    return rgba;
}

ModuleResourceBlob Blob(const std::u16string& path, std::vector<std::uint8_t> bytes)
{
    ModuleResourceBlob stored(path.substr(path.rfind(u'\\') + 1));
    stored.SetBytes(std::move(bytes));
    return stored;
}

void RandomTimeline(description_writer::TimingFields& timing, std::uint32_t on, std::uint32_t off,
                    std::uint32_t fade)
{
    timing.selector = 1;
    timing.kind = TimelineKind::Random;
    timing.onMin = timing.onMax = on;
    timing.offMin = timing.offMax = off;
    timing.fadeIn = timing.fadeOut = fade;
}

void WriteDischargeObject(DocumentWriter& w)
{
    discharge_writer::DischargeFields d;
    d.start = {260.0f, 840.0f, 0.0f};
    d.end = {860.0f, 610.0f, 0.0f};
    d.jitter = 45;
    d.morphSpeed = 60;
    d.glow.glowColour = 0x00FF8030; // blue
    d.glow.brightness = 150;
    d.glow.fx.effect = {u"common_res.dll", kCommonResDischargeEffect};
    description_writer::SpriteFields& sprite = d.glow.fx.sprite;
    sprite.spriteCount = 12;
    sprite.spriteSize = 60;
    sprite.blendMode = 1;
    sprite.colour = 0x00FFF0E0;
    sprite.secondImage = kGlowLink;
    sprite.view.base.name = u"Discharge";
    discharge_writer::WriteDischarge(w, d);
}

text_writer::StaticTextDescriptionFields Description(const crt::Guid& key, std::u16string name,
                                                     std::u16string words, const TextPicture& text, float x, float y)
{
    text_writer::StaticTextDescriptionFields t;
    t.text = std::move(words);
    t.font = {int(text.height), 400, 0, u"DejaVu Sans"};
    t.keyGuid = key;
    t.keyName = name;
    t.stat.centre = {x, y, 0.0f};
    t.stat.width = text.width;
    t.stat.height = text.height;
    t.stat.base.fx.effect = kTextEffectLink;
    t.stat.base.fx.sprite.colour = 0x00FFFFFF;
    t.stat.base.fx.sprite.view.base.name = name;
    return t;
}

text_writer::StaticTextFields TextItem(std::u16string name, std::u16string words, const TextPicture& text,
                                       float width, float x, float y)
{
    text_writer::StaticTextFields t;
    t.properties.text = std::move(words);
    t.properties.face = u"DejaVu Sans";
    t.object.turnSpeed = 0;
    t.object.single.corners = particle_writer::RectangleCorners(width, float(text.height), x, y);
    t.object.single.controller.base.name = name;
    return t;
}

// The ASCII words as stored text.
std::u16string Wide(const std::string& words)
{
    return std::u16string(words.begin(), words.end());
}

GuidTextureRecord KeyedPicture(const crt::Guid& guid, const std::u16string& name, const TextPicture& text)
{
    GuidTextureRecord stored;
    stored.key.guid = guid;
    stored.key.name = name;
    stored.blob = ResourceBlob(name + u".png");
    stored.blob.SetBytes(EncodePng(text.width, text.height, 4, LetterPixels(text)));
    return stored;
}

} // namespace

bool WriteWordsSlide(DocumentWriter& w, DocResManagerRecord& record)
{
    const std::string titleWords = "Orvanta";
    const std::string bannerWords = "Pictures that live on your desktop   ";
    const std::string panelWords = "Words with a shadow";
    const std::string tickerWords = "Sparks, text and light, all from one document";
    const TextPicture title = SetText(ORVANTA_DEMO_FONT, titleWords, 150.0f, 12);
    const TextPicture banner = SetText(ORVANTA_DEMO_FONT, bannerWords, 52.0f, 6);
    const TextPicture panel = SetText(ORVANTA_DEMO_FONT, panelWords, 60.0f, 24);
    const TextPicture ticker = SetText(ORVANTA_DEMO_FONT, tickerWords, 40.0f, 4);
    for (const TextPicture* text : {&title, &banner, &panel, &ticker})
        if (text->coverage.empty())
            return false;

    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.5f).Float(1.5f).Float(12.0f).Int(0).WideString(u"Words");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPicturePath;
    light.backgroundId = kPictureId;
    light.camera.mode = 0;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(5 + kDemoAnimationObjects);
    WriteDischargeObject(w);

    text_writer::WriteStaticTextDescription(w, Description(kTitleKey, u"title", Wide(titleWords), title, 960.0f, 190.0f));
    text_writer::ScrollingTextDescriptionFields scrolling;
    scrolling.period = 30;
    scrolling.directionMode = 1;
    scrolling.tileWidth = float(banner.width);
    scrolling.tileHeight = float(banner.height);
    scrolling.text = Description(kBannerKey, u"banner", Wide(bannerWords), banner, 960.0f, 360.0f);
    scrolling.text.stat.width = 1500;
    text_writer::WriteScrollingTextDescription(w, scrolling);

    text_writer::StaticTextFields shadowed = TextItem(u"Shadowed words", Wide(panelWords), panel, float(panel.width), 1380.0f, 690.0f);
    shadowed.shadowOn = 1;
    shadowed.shadow = {0x00000000, 30};
    shadowed.shadowDistance = 6;
    shadowed.shadowAngle = 315; // down and to the right
    shadowed.object.single.controller.block.pictures = {kPanelTextLink, kPanelLink};
    text_writer::WriteStaticText(w, shadowed);

    text_writer::ScrollingTexFields strip{1, 2, TextItem(u"Ticker", Wide(tickerWords), ticker, 1100.0f, 960.0f, 980.0f)};
    strip.text.object.single.controller.block.pictures = {kTickerLink};
    RandomTimeline(strip.text.object.single.controller.base.timing, 1000, 150, 40);
    text_writer::WriteScrollingTex(w, strip);
    WriteDemoAnimations(w, record);
    w.Count(0); // no sounds

    record.textureSetRecords[LinkKey{kPicturePath, kPictureId}] = {
        Blob(kPicturePath, EncodePng(kWidth, kHeight, 3, PixelsOf(kWidth, kHeight, Sky)))};
    record.textureSetRecords[LinkKey{kGlowLink.path, kGlowLink.id}] = {Blob(kGlowLink.path, EncodePng(64, 64, 4, GlowPixels(64)))};
    const auto frame = [&record](const StoredLink& link, std::vector<std::uint8_t> png) {
        record.frames[LinkKey{link.path, link.id}] = {StoredFrame{std::move(png), 0.0f}};
    };
    frame(kPanelTextLink, EncodePng(panel.width, panel.height, 4, LetterPixels(panel)));
    frame(kPanelLink, EncodePng(panel.width, panel.height, 4, PanelPixels(panel.width, panel.height)));
    frame(kTickerLink, EncodePng(ticker.width, ticker.height, 4, LetterPixels(ticker)));
    for (const GuidTextureRecord& keyed : {KeyedPicture(kTitleKey, u"title", title), KeyedPicture(kBannerKey, u"banner", banner)})
        record.guidTextures[keyed.key] = keyed;
    const auto effect = FindBuiltinEffectSource("text-description");
    record.storedResources[LinkKey{kTextEffectLink.path, kTextEffectLink.id}] = {
        Blob(kTextEffectLink.path, std::vector<std::uint8_t>(effect.begin(), effect.end()))};
    return true;
}
