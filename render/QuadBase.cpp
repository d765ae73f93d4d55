#include "render/QuadBase.h"

#include "platform/gfx/Device.h"

void QuadBase::BindStream(gfx::Device& device) const
{
    if (!m_buffer)
        return;
    device.SetFVF(m_fvf);
    device.SetStreamSource(0, m_buffer.Get(), 0, m_stride);
}

HRESULT QuadBase::DrawStrip(gfx::Device& device) const
{
    if (!m_buffer)
        return gfx::kOk;
    return device.DrawPrimitive(m_primitiveType, 0, static_cast<std::uint32_t>(m_primitiveCount));
}

void QuadBase::ReleaseBuffer()
{
    m_buffer.Reset();
    m_vertexCount = 0;
    m_primitiveCount = 0;
    m_fvf = 0;
    m_stride = 0;
}

bool QuadBase::CreateBuffer(gfx::Device& device, std::uint32_t fvf, std::uint32_t stride)
{
    ReleaseBuffer();
    gfx::VertexBuffer* raw = nullptr;
    const std::uint32_t length = stride * kQuadVertexCount;
    if (device.CreateVertexBuffer(length, gfx::Usage::WriteOnly, fvf, gfx::Pool::Managed, &raw) != gfx::kOk || !raw)
        return false;
    m_buffer = gfx::Ref<gfx::VertexBuffer>::Adopt(raw);
    m_vertexCount = kQuadVertexCount;
    m_primitiveCount = kQuadPrimitiveCount;
    m_fvf = fvf;
    m_stride = stride;
    return true;
}
