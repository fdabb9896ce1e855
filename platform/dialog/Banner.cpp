#include "platform/dialog/Banner.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>

namespace quorvel::platform {
namespace {

void drawText(cairo_t* cr, const char* font, const char* text, double x, double y, double alpha) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* description = pango_font_description_from_string(font);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, text, -1);
    cairo_move_to(cr, x, y);
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, alpha);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(description);
    g_object_unref(layout);
}

}  // namespace

GdkPixbuf* createBanner(int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_t* cr = cairo_create(surface);

    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, width, height);
    cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.02, 0.03, 0.12);
    cairo_pattern_add_color_stop_rgb(sky, 0.6, 0.10, 0.05, 0.30);
    cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.45, 0.10, 0.35);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);

    // Concentric rings on the right, fading outwards.
    const double cx = width * 0.82, cy = height * 0.5;
    for (int i = 6; i >= 1; --i) {
        cairo_arc(cr, cx, cy, i * height * 0.13, 0, 2 * G_PI);
        cairo_set_source_rgba(cr, 0.95, 0.55, 0.20, 0.08 + 0.05 * (6 - i));
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    }

    drawText(cr, "Sans Bold 22", "Demoengine", 16, height * 0.16, 0.95);
    drawText(cr, "Sans 10", "quorvel demo player", 18, height * 0.62, 0.7);

    cairo_destroy(cr);
    cairo_surface_flush(surface);
    GdkPixbuf* pixbuf = gdk_pixbuf_get_from_surface(surface, 0, 0, width, height);
    cairo_surface_destroy(surface);
    return pixbuf;
}

}  // namespace quorvel::platform
