// One full frame of the demo scene's meadow slide at 1920 x 1080 on a
// headless device (an aurora band and sparkles through their joined masks,
// twinkling stars and a GIF brush through their masked draws, a line of
// glyphs drawn one by one and a swaying plant), read beside
// BM_BareBlit1080p in FrameBench.cpp.

#include "bench/player/SlideFrameBench.h"
#include "tools/demoscene/PaintedSlide.h"

namespace {

void BM_PaintedSlideFrame1080p(benchmark::State& state)
{
    slide_bench::RunSlideFrames(state, WritePaintedSlide, kPaintedSlideCount, "painted");
}
BENCHMARK(BM_PaintedSlideFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace
