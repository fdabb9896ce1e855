// The one translation unit that compiles stb_image and stb_image_resize.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO  // files are read by the loader itself, after case-insensitive lookup
#include <stb_image.h>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
