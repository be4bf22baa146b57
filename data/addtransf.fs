#version 330 core
// Final pass of the motion-blur scene: the picture laid over copies of itself that are
// turned by up to thetamax degrees and shrunk towards the centre by up to scalemax, a
// spinning zoom trail. With both at 0 the picture passes unchanged.
// in:  UV         texture coordinate from trivial.vs
//      inputtex   the picture
//      thetamax   turn of the farthest copy, degrees
//      scalemax   zoom of the farthest copy: 0 none, 1 twice as large
// out: color      opaque picture

in vec2 UV;

uniform sampler2D inputtex;
uniform float thetamax;
uniform float scalemax;

out vec4 color;

const int COPIES = 12;
const float MIN_SCALE = 0.05;   // a negative zoom must not fold the copy inside out

void main()
{
    vec2 size = vec2(textureSize(inputtex, 0));
    float aspect = size.x / max(size.y, 1.0);
    // Turn in a square space so that the turn does not shear a wide picture.
    vec2 centred = (UV - 0.5) * vec2(aspect, 1.0);

    vec3 sum = texture(inputtex, UV).rgb;
    float weights = 1.0;
    for (int i = 1; i <= COPIES; ++i) {
        float t = float(i) / float(COPIES);
        float angle = radians(thetamax) * t;
        float zoom = max(1.0 + scalemax * t, MIN_SCALE);
        mat2 turn = mat2(cos(angle), sin(angle), -sin(angle), cos(angle));
        vec2 p = turn * centred / zoom;
        vec2 uv = p / vec2(aspect, 1.0) + 0.5;
        if (any(lessThan(uv, vec2(0.0))) || any(greaterThan(uv, vec2(1.0))))
            continue;
        float w = 1.0 - t;
        sum += texture(inputtex, uv).rgb * w;
        weights += w;
    }
    color = vec4(sum / weights, 1.0);
}
