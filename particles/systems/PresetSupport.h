#pragma once
// What the ready-made particle systems share: the timeline's level and
// state as their emission reads them, the burst count rule, the launch
// lifetime, the one-time placement of a fresh object on the picture, the
// hand-over of new particles to the controller's list, and the stored
// vectors.

#include <cstdint>
#include <string_view>

#include "objectmodel/Archive.h"
#include "objectmodel/ParamRecords.h"
#include "particles/engine/InnerParticle.h"
#include "platform/math/Vector.h"
#include "render/RenderObjData.h"

namespace preset_systems {

// The level of the object's current timeline, 0..1 (1 without one).
float TimelineLevel(const KXI_SmartTiming& timing);
// Whether the current timeline reports the state off.
bool TimelineOff(const KXI_SmartTiming& timing);

// The particles a burst still owes at `level`: truncate(level x count -
// emitted) in single precision, kept to the int range. A positive due is
// added to `emitted`, which saturates at the int maximum.
std::int32_t TakeBurstDue(float level, std::uint32_t burstCount, std::int32_t& emitted);

// range / speed; +infinity for a positive range at speed 0, 0 when both are
// 0, never NaN.
float LaunchLifetime(float range, float speed);

// True once for an object that is placed fresh (keep-id flag 0): the flag
// becomes 1, so stored geometry is fitted to the picture only once.
bool TakeFreshPlacement(KXI_RenderObjData& object);
// The thread's picture size (0 x 0 without a render context).
math::Vec3 PictureCentre();
float PictureWidth();
float PictureHeight();

// Appends `fresh` to `list` and returns handles to the same particles, for
// the controller to spread over the step.
InnerParticleList::Handles AppendAndKeep(InnerParticleList& list, InnerParticleList::Handles fresh);

// An envelope's fade-in end and fade-out start (percent of the lifetime),
// each notified when it changes.
void SetEnvelope(PercentParamQuad& envelope, std::uint32_t fadeInEnd, std::uint32_t fadeOutStart);

// A section header: class name and version.
void WriteSectionHeader(ArchiveWriter ar, std::u16string_view name, std::int32_t version);

math::Vec3 ReadVec3(ArchiveReader ar);
void WriteVec3(ArchiveWriter ar, const math::Vec3& v);

} // namespace preset_systems
