// The stb functions the engine calls, compiled into the browser build: the native builds link
// the system's stb library instead.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>
#include <stb_truetype.h>
