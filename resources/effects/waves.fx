orvanta-effect 1
# Waves travelling along "direction" (P units), displacing the picture along
# "direction_n" by amplitude x sin(2 pi (frequency x dot(P, direction) + time)).
include image-effect
parameter vec2 direction = 1 0
parameter vec2 direction_n = 0 1
parameter float frequency = 1
parameter float amplitude
parameter float time

common
vec4 ImageEffect(vec2 uv)
{
    float wave = sin(kTwoPi * (frequency * dot(PictureUnits(uv), direction) + time));
    vec2 d = direction_n * amplitude * wave;
    return vec4(BackgroundAt(uv + UnitsToUv(d)).rgb, 1.0);
}
end
include image-effect-techniques
