// The one translation unit that compiles stb_image_resize (see StbImageImplementation.cpp).
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
