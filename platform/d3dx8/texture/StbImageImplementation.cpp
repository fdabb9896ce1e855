// The one translation unit that compiles stb_image. Kept apart from stb_image_resize so a
// program with its own copy of one of them can still link the other from this library.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO  // files are read by the loader itself, after case-insensitive lookup
#include <stb_image.h>
