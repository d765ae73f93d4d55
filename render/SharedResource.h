#pragma once
// The shared resource module "common_res.dll": default pictures and effects
// that scene objects name by links to it (path "common_res.dll", the
// resource id). It is a resource pack built from resources/common_res/ and
// found next to the executable or in the install data folder
// (win::LoadResourceModule). What the scene code asks of it:
//
//   "DDS"      5     default background picture of a slide's picture scene,
//                    and the glass ball's default backdrop picture
//   "DDS"      6     the butterfly body's picture; also the default image
//                    link of the camera (stored, not drawn)
//   "DDS"      2016  preview picture of sound objects
//   "DDS"      68    mesh: the butterfly's body (.X, nose along +z)
//   "DDS"      69    mesh: one butterfly wing (.X, in the x-z plane, hinged
//                    on the z axis, spanning +x)
//   "DDS"      70    mesh: the clock's plate (.X, x and z in [-50, 50])
//   "DDS"      71    the clock face's picture (a round dial, 12 at the top)
//   "DDS"      72    the clock hands' picture (a dark bar, its tip at v = 0)
//   RT_RCDATA  202   effect: the glow blur ("GaussianBlurVFirst",
//                    "GaussianBlurV", "GaussianBlurH"; "TexW", "TexH",
//                    "Texture"), and the default effect link of tree leaves
//   RT_RCDATA  185   effect: default effect of particle-tree roots
//                    ("BlendNormal", "BlendSum", "DrawGlowNormal",
//                    "DrawGlowScreen", "PartyBalloon", "BlendMultiplay";
//                    "Texture0", "Texture1", "Texture2", "Background", "GlowColor",
//                    "GlowBrightness", "LightMapsOpacity")
//   RT_RCDATA  97    effect: the textured generators' masks and blend passes
//                    ("BlendMask", "JoinMask", "CommonTex", "Blend_ScreenTex",
//                    "Blend_ColorDodgeTex", "Blend_SumTex"), and the glow of
//                    glowing sprite objects, the glowing discharge's default
//                    effect ("Blend_Max", "Blend_Normal", "Blend_Screen",
//                    "Common"); "Texture1", "Texture2", "BlendColor"
//   "DDS"      123   soft light beam of the radial rays (u from root to tip)
//   "DDS"      124   narrow light beam of the radial rays
//   RT_RCDATA  75    effect: background copy ("Main", "MainFX"; "offset")
//   RT_RCDATA  76    effect: light ("multiplier")
//   RT_RCDATA  77    effect: waves ("direction", "direction_n", "frequency",
//                    "amplitude", "time")
//   RT_RCDATA  78    effect: pattern brushes ("mix_color", "Pattern",
//                    "scale", "offset", "coord_transf")
//   RT_RCDATA  88    effect: underwater ("frequency", "amplitude", "time")
//   "DDS"      89    bump picture of the water (a tileable normal map)
//   RT_RCDATA  90    effect: water ("BumpMap", "BampTrans", "P1", "P2",
//                    "Vhalf", "Color", "Time", "Shadows", "Direction1",
//                    "Direction2")
//   RT_RCDATA  91    effect: move ("Direction")
//   RT_RCDATA  190   effect: light II ("Blend_Normal", "Blend_Screen",
//                    "Blend_ColorDodge", "Linear_Dodge", "Blend_Sum";
//                    "BlendColor")
//   RT_RCDATA  198   effect: particle-engine text items ("Main", "Shadow";
//                    "Texture", "Shift", "Color")
//   "DDS"      95    the glowing discharge's segment picture (a bolt along
//                    u with end caps in the outer 19.5 %, two frames
//                    stacked along v)
//   "DDS"      98    the same in a thinner style
//   "DDS"      8     the fire's noise (tileable smooth noise in red and green)
//   "DDS"      93    the fire's flame pattern (bright at the bottom centre,
//                    fading upward, tileable across)
//   "DDS"      7     the flame light's fire pattern (a row of flame tongues)
//   "DDS"      62    the heat shimmer's displacement map (tileable noise in
//                    red and green)
//   "DDS"      40    the matrix code's glyph strip (64 glyphs of 32 x 31
//                    pixels stacked, white on transparent)
//   RT_RCDATA  92    effect: fire ("Main", "MainFX", "AsEffect";
//                    "WorldViewProj", "ViewProj", "Noise", "Pattern", "Mask",
//                    "Background", "c11", "c12", "c13", "bg_scale_factor",
//                    "ColorK1", "ColorK2", "Brightness", "Density"; no
//                    "Scale")
//   RT_RCDATA  63    effect: heat shimmer ("BumpmapDistortLow2" besides
//                    "Main" and "MainFX"; "stenght", "Offset", "bump_scale",
//                    "Bumpmap")
//   RT_RCDATA  102   effect: expand ("Center", "amplitude")
//   RT_RCDATA  103   effect: radial wave ("bg_scale_factor", "center",
//                    "frequency", "amplitude", "time")
//   "DDS"      58    the glass ball's first highlight overlay (white, alpha)
//   "DDS"      59    the glass ball's second highlight overlay
//   "DDS"      184   texture set: the glass ball's stand (int32 value
//                    count, values, int32 record count, module records)
//   RT_RCDATA  116   effect: the static animation's default ("Blend_Normal";
//                    "Texture", "Color")
// Every image effect above but 190 and 92 has the techniques "Main" and "MainFX"
// and the inputs "Scale", "Mask" and "Background" (190: "Mask" and
// "Background").
//
// A picture resource holds a picture file the texture loader reads; a mesh
// resource an .X file; an effect resource holds an effect file of our format. When the module or a
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
inline constexpr std::int32_t kCommonResGeneratorEffect = 97;
inline constexpr std::int32_t kCommonResBeamPicture = 123;
inline constexpr std::int32_t kCommonResNarrowBeamPicture = 124;

// The module's ids that the picture effects, lights and scene objects name.
inline constexpr std::int32_t kCommonResFlamePatternPicture = 7;
inline constexpr std::int32_t kCommonResFireNoisePicture = 8;
inline constexpr std::int32_t kCommonResMatrixGlyphPicture = 40;
inline constexpr std::int32_t kCommonResGlassBallOverlayPicture1 = 58;
inline constexpr std::int32_t kCommonResGlassBallOverlayPicture2 = 59;
inline constexpr std::int32_t kCommonResHeatBumpPicture = 62;
inline constexpr std::int32_t kCommonResHeatHazeEffect = 63;
inline constexpr std::int32_t kCommonResButterflyBodyMesh = 68;
inline constexpr std::int32_t kCommonResButterflyWingMesh = 69;
inline constexpr std::int32_t kCommonResClockFaceMesh = 70;
inline constexpr std::int32_t kCommonResClockPicture1 = 71;
inline constexpr std::int32_t kCommonResClockPicture2 = 72;
inline constexpr std::int32_t kCommonResBackgroundCopyEffect = 75;
inline constexpr std::int32_t kCommonResLightEffect = 76;
inline constexpr std::int32_t kCommonResWavesEffect = 77;
inline constexpr std::int32_t kCommonResPatternBrushEffect = 78;
inline constexpr std::int32_t kCommonResUnderwaterEffect = 88;
inline constexpr std::int32_t kCommonResWaterBumpPicture = 89;
inline constexpr std::int32_t kCommonResWaterEffect = 90;
inline constexpr std::int32_t kCommonResMoveEffect = 91;
inline constexpr std::int32_t kCommonResFireEffect = 92;
inline constexpr std::int32_t kCommonResFirePicture = 93;
inline constexpr std::int32_t kCommonResDischargePicture1 = 95;
inline constexpr std::int32_t kCommonResDischargeEffect = 97;
inline constexpr std::int32_t kCommonResDischargePicture2 = 98;
inline constexpr std::int32_t kCommonResExpandEffect = 102;
inline constexpr std::int32_t kCommonResRadialWaveEffect = 103;
inline constexpr std::int32_t kCommonResStaticAnimationEffect = 116;
inline constexpr std::int32_t kCommonResGlassBallStandSet = 184;
inline constexpr std::int32_t kCommonResLightBlendEffect = 190;
inline constexpr std::int32_t kCommonResTextItemEffect = 198;

enum class SharedResourceKind { Picture, Effect, Mesh, TextureSet };

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
