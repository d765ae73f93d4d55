// Setting an effect's parameters for each draw, as sprite and particle
// controllers do: a few floats, a vector, a matrix and a texture, committed.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/gfx/Effect.h"
#include "platform/gfx/HeadlessContext.h"

namespace gfx {
namespace {

const char* kEffect = R"(orvanta-effect 1
parameter float Time
parameter float Alpha
parameter vec4 Tint
parameter mat4 Space
parameter texture Picture
vertex V
out vec2 uv;
void main() { uv = (vec4(gfx_TexCoord0, 0.0, 1.0) * Space).xy; gl_Position = gfx_TransformVertex(); }
end
fragment F
in vec2 uv;
void main() { gfx_FragColor = texture(Picture, uv) * Tint * Alpha + vec4(Time * 0.0); }
end
technique Draw
pass
vertex V
fragment F
end
)";

void BM_EffectParametersPerDraw(benchmark::State& state) {
    std::string error;
    auto device = CreateHeadlessDevice(16, 16, &error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    Effect* raw = nullptr;
    const std::string text = kEffect;
    if (FAILED(Effect::Create(*device, std::vector<std::uint8_t>(text.begin(), text.end()), &raw, &error))) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto effect = Ref<Effect>::Adopt(raw);
    Texture* texture = nullptr;
    device->CreateTexture(4, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture);
    std::uint32_t passes = 0;
    effect->Begin(&passes, 0);
    effect->BeginPass(0);
    float time = 0;
    const math::Matrix space;
    for (auto _ : state) {
        time += 0.01f;
        effect->SetFloat("Time", time);
        effect->SetFloat("Alpha", 0.5f);
        effect->SetVector("Tint", math::Vec4{1, time, 0, 1});
        effect->SetMatrix("Space", space);
        effect->SetTexture("Picture", texture);
        effect->CommitChanges();
    }
    effect->EndPass();
    effect->End();
    texture->Release();
}
BENCHMARK(BM_EffectParametersPerDraw);

}  // namespace
}  // namespace gfx
