#include "objectmodel/DirectionParams.h"

#include "objectmodel/Geometry.h"
#include "objectmodel/ScaledParams.h"
#include "platform/math/MathFunctions.h"

MediaDirection::MediaDirection(std::uint32_t angle)
    : MediaParamT<std::uint32_t>(angle), m_angleWatch(&MediaDirection::UpdateVectors, this, this)
{
    UpdateVectors();
}

MediaDirection::MediaDirection(const MediaDirection& other)
    : MediaParamT<std::uint32_t>(other), m_angleWatch(&MediaDirection::UpdateVectors, this, this)
{
    UpdateVectors();
}

MediaDirection& MediaDirection::operator=(const MediaDirection& other)
{
    QuietSet(other.value);
    return *this;
}

void MediaDirection::QuietSet(std::uint32_t angle)
{
    MediaParamT<std::uint32_t>::QuietSet(angle);
    UpdateVectors();
}

void MediaDirection::UpdateVectors()
{
    const float theta = static_cast<float>(value) * kScenePi / 180.0f;
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, theta);
    math::Vec4Transform(&m_direction, math::Vec4{1.0f, 0.0f, 0.0f, 0.0f}, rotation);
    math::Vec4Transform(&m_normal, math::Vec4{0.0f, 1.0f, 0.0f, 0.0f}, rotation);
}

MediaSector::MediaSector(std::uint32_t centre, std::uint32_t spreadDegrees)
    : MediaDirection(centre), spread(spreadDegrees)
{
}

math::Vec3 MediaSector::DirectionAt(float r) const
{
    const float s = static_cast<float>(spread.value);
    const float delta = r * (s - (-s)) + (-s);
    const float alpha = (360.0f - (static_cast<float>(value) + delta)) * kScenePi / 180.0f;
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, alpha);
    math::Vec3 result;
    math::Vec3TransformCoord(&result, math::Vec3{1.0f, 0.0f, 0.0f}, rotation);
    return result;
}

math::Vec3 MediaSector::RandomDirection() const
{
    return DirectionAt(DrawRandomUnit());
}
