# Line coordinates of the effects drawn across a line through "Center"
# (uv): d = "Ln" . (u, v, 1), the signed distance from the line along the
# effect's direction, and s = "Lt" . (u, v, 1), the position along it. Both
# lines pass through the centre, so a point is found back from (s, d) by
# inverting the 2 x 2 system of their (a, b) parts. "t" and "n" (the unit
# vectors across and along the line) are the inputs every such effect takes.
# Include after image-effect.

parameter vec2 Center = 0.5 0.5
parameter vec3 Ln = 0 1 -0.5
parameter vec3 Lt = 1 0 -0.5
parameter vec2 t = 0 1
parameter vec2 n = 1 0

common
// (s, d) of uv.
vec2 LineCoordinates(vec2 uv)
{
    vec3 p = vec3(uv, 1.0);
    return vec2(dot(Lt, p), dot(Ln, p));
}

// The uv whose line coordinates are (s, d); false (uv itself back) when the
// two lines are parallel.
bool FromLineCoordinates(vec2 sd, out vec2 uv)
{
    float det = Ln.x * Lt.y - Ln.y * Lt.x;
    if (abs(det) < 1e-6)
        return false;
    // Ln.xy . q = d, Lt.xy . q = s with q = uv - Center.
    vec2 q = vec2(sd.y * Lt.y - sd.x * Ln.y, sd.x * Ln.x - sd.y * Lt.x) / det;
    uv = Center + q;
    return true;
}

// 1 + amplitude, kept away from 0 where an extreme amplitude reaches it.
float SafeSpread(float amplitude)
{
    return max(1.0 + amplitude, 0.05);
}
end
