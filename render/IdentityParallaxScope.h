#pragma once
// Sets the thread's render-context parallax to identity for a scope. A
// composite that lays a mask over the picture uses it: the mask already holds
// the object's parallax, so the composite must not shift it again.

#include "platform/math/Matrix.h"
#include "render/RenderContext.h"

class IdentityParallaxScope {
public:
    IdentityParallaxScope() : m_context(g_RenderContextTls)
    {
        if (m_context) {
            m_saved = m_context->parallax;
            m_context->parallax = math::Matrix{};
        }
    }
    ~IdentityParallaxScope()
    {
        if (m_context)
            m_context->parallax = m_saved;
    }
    IdentityParallaxScope(const IdentityParallaxScope&) = delete;
    IdentityParallaxScope& operator=(const IdentityParallaxScope&) = delete;

private:
    RenderContext* m_context;
    math::Matrix m_saved;
};
