#version 330 core
// Motion blur along each pixel's screen-space velocity: the picture is averaged over the
// path the surface travelled during a fixed shutter time.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    the picture (after occlusion)
//      texture1    per-pixel motion since the previous frame, in texture units (rg)
//      scaler      milliseconds per frame: the motion above took this long
// out: color       blurred picture

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D texture1;
uniform float scaler;

out vec4 color;

const int SAMPLES = 10;
const float SHUTTER_MS = 10.0;      // exposure of one frame
const float MAX_BLUR = 0.04;        // longest streak, in texture units
const float MIN_FRAME_MS = 1.0;

void main()
{
    vec2 motion = texture(texture1, UV).rg * (SHUTTER_MS / max(scaler, MIN_FRAME_MS));
    float length2 = dot(motion, motion);
    if (length2 > MAX_BLUR * MAX_BLUR)
        motion *= MAX_BLUR * inversesqrt(length2);

    vec3 sum = vec3(0.0);
    for (int i = 0; i < SAMPLES; ++i) {
        float t = float(i) / float(SAMPLES - 1) - 0.5;
        sum += texture(inputtex, UV - motion * t).rgb;
    }
    color = vec4(sum / float(SAMPLES), 1.0);
}
