// One full frame of the demo scene's night slide at 1920 x 1080 on a
// headless device (smoke, falling stars, fireworks and a lightning bolt over
// a picture, three glow composites a frame), read beside BM_BareBlit1080p in
// FrameBench.cpp.

#include "bench/player/SlideFrameBench.h"
#include "tools/demoscene/NightSlide.h"

namespace {

void BM_NightSlideFrame1080p(benchmark::State& state)
{
    slide_bench::RunSlideFrames(state, WriteNightSlide, kNightSlideCount, "night");
}
BENCHMARK(BM_NightSlideFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace
