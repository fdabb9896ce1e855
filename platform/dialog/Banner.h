// The picture across the top of the setup dialog, drawn in code: a dark gradient with a few
// glowing rings and the program's name.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

namespace quorvel::platform {

constexpr int kBannerWidth = 420;
constexpr int kBannerHeight = 84;

// A new pixbuf (the caller unrefs it), or null when drawing fails.
GdkPixbuf* createBanner(int width, int height);

}  // namespace quorvel::platform
