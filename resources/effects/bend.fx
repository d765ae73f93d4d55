orvanta-effect 1
# Bend: points turned about "Center" (uv) by an angle that grows with their
# distance r from it (P units): theta = "Angle" x (1 + "Bend" x r). The turn
# is done in P units so that it stays round.
include image-effect
parameter vec2 Center = 0.5 0.5
parameter float Angle
parameter float Bend

common
vec4 ImageEffect(vec2 uv)
{
    vec2 p = PictureUnits(uv - Center);
    float theta = Angle * (1.0 + Bend * length(p));
    float c = cos(theta), s = sin(theta);
    vec2 turned = vec2(p.x * c - p.y * s, p.x * s + p.y * c);
    return vec4(BackgroundAt(Center + UnitsToUv(turned)).rgb, 1.0);
}
end
include image-effect-techniques
