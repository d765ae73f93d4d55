# What the composites that read a target-sized texture over the whole target
# share: the corrected pixel centre. Effects include it ("include
# pixel-centre") before their own common code.

common
// The device places every vertex half a target pixel off, as the platform
// it stands in for does; a quad drawn over the whole target would then read
// the texture it composites half a texel away, between two texels. The
// coordinate is moved back by half a target pixel, so that each pixel reads
// its own texel of a target-sized texture. The device's shift is half a
// pixel less 1/64 (an edge bias). (A macro: the common code also
// stands before the vertex programs, which have no derivatives.)
const float kDeviceShift = 0.5 - 1.0 / 64.0;
#define PixelCentre(uv) ((uv) + kDeviceShift * (dFdx(uv) + dFdy(uv)))
end
