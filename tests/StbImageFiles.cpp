// stb_image compiled once, with its file reading, for the small picture-reading programs the
// end-to-end tests run (png_coverage, colour_count, frame_compare). They include <stb_image.h>
// for its declarations only.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
