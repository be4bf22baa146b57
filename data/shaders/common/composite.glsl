// What every compositing pass of a scene receives besides its scene textures
// (texture0, texture1, ... on units 0, 1, ...): the quad's texture coordinate from
// trivial.vs and the time in seconds; it writes one opaque colour.

in vec2 UV;

uniform float time;

out vec4 color;
