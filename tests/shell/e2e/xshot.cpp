// Saves a part of an X screen as PNG: xshot OUT.png [X Y W H]. The whole root window when no
// rectangle is given. Used by the end-to-end script to look at the dialog and the window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: %s OUT.png [X Y W H]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xshot: cannot open display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    int x = 0, y = 0, w = attributes.width, h = attributes.height;
    if (argc == 6) {
        x = std::atoi(argv[2]);
        y = std::atoi(argv[3]);
        w = std::atoi(argv[4]);
        h = std::atoi(argv[5]);
    }
    XImage* image = XGetImage(display, root, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "xshot: cannot read the screen\n");
        XCloseDisplay(display);
        return 1;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const unsigned long pixel = XGetPixel(image, col, row);
            unsigned char* out = &rgb[(static_cast<size_t>(row) * static_cast<size_t>(w) + static_cast<size_t>(col)) * 3];
            out[0] = static_cast<unsigned char>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
            out[1] = static_cast<unsigned char>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
            out[2] = static_cast<unsigned char>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
        }
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    return stbi_write_png(argv[1], w, h, 3, rgb.data(), w * 3) ? 0 : 1;
}
