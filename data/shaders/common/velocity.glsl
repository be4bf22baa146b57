// Screen-space motion of a point between the previous draw and this one, in texture units
// (half of clip space), from its two clip positions. A position behind the camera in
// either frame has no place on the screen, so it gives no motion.
// in:  clipNow, clipPrev   this and the previous draw's clip-space position

in vec4 clipNow;
in vec4 clipPrev;

const float MIN_CLIP_W = 1e-4;

vec2 screenVelocity()
{
    if (clipNow.w <= MIN_CLIP_W || clipPrev.w <= MIN_CLIP_W)
        return vec2(0.0);
    return (clipNow.xy / clipNow.w - clipPrev.xy / clipPrev.w) * 0.5;
}
