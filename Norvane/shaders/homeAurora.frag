#version 440

// The hero's aurora: soft bands of the profile's accent and two neighbouring hues drifting
// over the window background. Livelier profiles (higher energy) move faster and glow brighter;
// the seed shifts the pattern and the family picks the neighbouring hues, so every profile has
// its own, stable look. Corners are rounded (radius 20) here, in the shader.

layout(location = 0) in vec2 qt_TexCoord0;
layout(location = 0) out vec4 fragColor;

layout(std140, binding = 0) uniform buf {
    mat4 qt_Matrix;
    float qt_Opacity;
    vec2 viewSize;
    float time;
    vec4 accent;
    float dark;
    float energy;
    float seed;
    float family;
};

vec3 rotateHue(vec3 colour, float angle)
{
    const vec3 grey = vec3(0.57735);
    float c = cos(angle);
    return colour * c + cross(grey, colour) * sin(angle) + grey * dot(grey, colour) * (1.0 - c);
}

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

float noise(vec2 p)
{
    vec2 i = floor(p);
    vec2 f = fract(p);
    vec2 u = f * f * (3.0 - 2.0 * f);
    return mix(mix(hash(i), hash(i + vec2(1.0, 0.0)), u.x),
               mix(hash(i + vec2(0.0, 1.0)), hash(i + vec2(1.0, 1.0)), u.x), u.y);
}

float fbm(vec2 p)
{
    float value = 0.0;
    float amplitude = 0.5;
    for (int i = 0; i < 3; ++i) {
        value += amplitude * noise(p);
        p = p * 2.03 + 17.0;
        amplitude *= 0.5;
    }
    return value;
}

void main()
{
    vec2 pixel = qt_TexCoord0 * viewSize;
    vec2 uv = pixel / max(viewSize.y, 1.0);
    float t = time * (0.04 + 0.22 * energy);
    float phase = seed * 37.0;

    vec3 base = mix(vec3(0.972, 0.976, 0.984), vec3(0.10, 0.105, 0.12), dark);
    vec3 colours[3];
    colours[0] = accent.rgb;
    colours[1] = rotateHue(accent.rgb, 0.55 + family * 0.32);
    colours[2] = rotateHue(accent.rgb, -0.45 - family * 0.21);

    vec3 colour = base;
    float strength = (0.20 + 0.36 * energy) * mix(0.85, 1.15, dark);
    for (int i = 0; i < 3; ++i) {
        float fi = float(i);
        float centre = 0.30 + 0.22 * fi
            + 0.11 * sin(uv.x * (1.1 + 0.45 * fi) + t * (1.0 + 0.35 * fi) + phase + fi * 2.1)
            + 0.16 * (fbm(vec2(uv.x * 1.4 + t * 0.7 + phase, fi * 3.7 + t * 0.25)) - 0.5);
        float d = (uv.y - centre) * (5.0 - 1.8 * energy);
        float band = exp(-d * d);
        float shimmer = 0.6 + 0.4 * noise(vec2(uv.x * 5.0 - t * 2.0 + phase, uv.y * 2.5 + fi * 5.0));
        colour = mix(colour, colours[i], band * shimmer * strength);
    }
    vec2 glowCentre = vec2(viewSize.x / max(viewSize.y, 1.0) * 0.82, 0.08);
    colour += accent.rgb * exp(-length(uv - glowCentre) * 2.4) * (0.08 + 0.10 * energy);

    vec2 halfSize = viewSize * 0.5;
    vec2 q = abs(pixel - halfSize) - (halfSize - vec2(20.0));
    float distance = length(max(q, 0.0)) + min(max(q.x, q.y), 0.0) - 20.0;
    float alpha = clamp(0.5 - distance, 0.0, 1.0);
    fragColor = vec4(clamp(colour, 0.0, 1.0) * alpha, alpha) * qt_Opacity;
}
