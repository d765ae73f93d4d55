#pragma once
// The shared resource module "common_res.dll": default pictures and effects
// that scene objects name by links to it (path "common_res.dll", the
// resource id). It is a resource pack built from resources/common_res/ and
// found next to the executable or in the install data folder
// (win::LoadResourceModule). What the scene code asks of it:
//
//   "DDS"      5     default background picture of a slide's picture scene
//   "DDS"      6     default image link of the camera (stored, not drawn)
//   "DDS"      2016  preview picture of sound objects
//   RT_RCDATA  202   effect: the glow blur ("GaussianBlurVFirst",
//                    "GaussianBlurV", "GaussianBlurH"; "TexW", "TexH",
//                    "Texture"), and the default effect link of tree leaves
//   RT_RCDATA  185   effect: default effect of particle-tree roots
//                    ("BlendNormal", "BlendSum", "DrawGlowNormal",
//                    "DrawGlowScreen", "PartyBalloon"; "Texture0",
//                    "Texture1", "Texture2", "Background", "GlowColor",
//                    "GlowBrightness", "LightMapsOpacity")
//   RT_RCDATA  97    effect: default effect of glowing discharges ("Blend_Max",
//                    "Blend_Normal", "Blend_Screen", "Common"; "Texture1",
//                    "Texture2", "BlendColor")
//
// A picture resource holds a picture file the texture loader reads; an
// effect resource holds an effect file of our format. When the module or a
// resource is missing, image links yield no texture and effect links the
// bytes the document stored or no effect; nothing is reported.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/win/ResourceType.h"
#include "render/FileLink.h"

inline constexpr char16_t kCommonResModule[] = u"common_res.dll";

inline constexpr std::int32_t kCommonResBackgroundPicture = 5;
inline constexpr std::int32_t kCommonResCameraPicture = 6;
inline constexpr std::int32_t kCommonResSoundPreviewPicture = 2016;
inline constexpr std::int32_t kCommonResBlurEffect = 202;
inline constexpr std::int32_t kCommonResTreeEffect = 185;
inline constexpr std::int32_t kCommonResGeneratorBlendEffect = 97;

enum class SharedResourceKind { Picture, Effect };

struct SharedResourceEntry {
    SharedResourceKind kind;
    std::int32_t id;
    std::string_view role;
};

// Every resource the scene code asks of the module, in the order above.
std::span<const SharedResourceEntry> SharedResourceTable();

// The resource type an entry of that kind is stored under.
win::ResourceType SharedResourceType(SharedResourceKind kind);

// A link to resource `id` of the shared module.
DS_FileLink3 CommonResLink(std::int32_t id);
DS_ImageFileLink CommonResImageLink(std::int32_t id);
