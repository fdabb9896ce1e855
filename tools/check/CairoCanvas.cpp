// The timeline as a PNG image: the same drawing calls on a cairo image surface, text set with
// pango.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>

#include "TimelineCanvas.h"

namespace quorvel::check {

namespace {

void setColour(cairo_t* cr, Colour c) { cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.alpha); }

class CairoCanvas : public TimelineCanvas {
public:
    CairoCanvas(double width, double height)
        : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::ceil(width)),
                                              static_cast<int>(std::ceil(height)))),
          cr_(cairo_create(surface_)) {
        cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_paint(cr_);
    }
    ~CairoCanvas() override {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }

    void rect(const char*, double x, double y, double w, double h, Colour fill, bool hatched) override {
        cairo_save(cr_);
        cairo_rectangle(cr_, x, y, w, h);
        if (!hatched) {
            setColour(cr_, fill);
            cairo_fill(cr_);
        } else {
            cairo_clip(cr_);
            cairo_set_source_rgb(cr_, 235 / 255.0, 235 / 255.0, 235 / 255.0);
            cairo_paint(cr_);
            cairo_set_source_rgb(cr_, 150 / 255.0, 60 / 255.0, 60 / 255.0);
            cairo_set_line_width(cr_, 2.0);
            for (double d = -h; d < w + h; d += 8) {
                cairo_move_to(cr_, x + d, y + h);
                cairo_line_to(cr_, x + d + h, y);
            }
            cairo_stroke(cr_);
        }
        cairo_restore(cr_);
    }

    void line(const char*, double x0, double y0, double x1, double y1, Colour stroke, double width,
              bool dashed) override {
        cairo_save(cr_);
        setColour(cr_, stroke);
        cairo_set_line_width(cr_, width);
        if (dashed) {
            const double dashes[] = {4, 3};
            cairo_set_dash(cr_, dashes, 2, 0);
        }
        cairo_move_to(cr_, x0, y0);
        cairo_line_to(cr_, x1, y1);
        cairo_stroke(cr_);
        cairo_restore(cr_);
    }

    void text(const char*, double x, double y, const std::string& text, double size, Colour colour, Anchor anchor,
              double maxWidth) override {
        PangoLayout* layout = pango_cairo_create_layout(cr_);
        PangoFontDescription* font = pango_font_description_from_string("Sans");
        pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
        pango_layout_set_font_description(layout, font);
        pango_font_description_free(font);
        pango_layout_set_text(layout, text.c_str(), -1);
        if (maxWidth > 0) {
            pango_layout_set_width(layout, static_cast<int>(maxWidth * PANGO_SCALE));
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        }
        int width = 0, height = 0;
        pango_layout_get_pixel_size(layout, &width, &height);
        const double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
        double left = x;
        if (anchor == Anchor::Middle) left -= width / 2.0;
        if (anchor == Anchor::End) left -= width;
        if (maxWidth <= 0 || maxWidth >= size) {
            cairo_save(cr_);
            setColour(cr_, colour);
            cairo_move_to(cr_, left, y - baseline);
            pango_cairo_show_layout(cr_, layout);
            cairo_restore(cr_);
        }
        g_object_unref(layout);
    }

    void polygon(const char*, const std::vector<double>& xy, Colour fill) override {
        if (xy.size() < 6) return;
        cairo_save(cr_);
        cairo_move_to(cr_, xy[0], xy[1]);
        for (std::size_t i = 2; i + 1 < xy.size(); i += 2) cairo_line_to(cr_, xy[i], xy[i + 1]);
        cairo_close_path(cr_);
        setColour(cr_, fill);
        cairo_fill(cr_);
        cairo_restore(cr_);
    }

    bool save(const std::string& path, std::string& why) override {
        cairo_surface_flush(surface_);
        const cairo_status_t status = cairo_surface_write_to_png(surface_, path.c_str());
        if (status != CAIRO_STATUS_SUCCESS) why = cairo_status_to_string(status);
        return status == CAIRO_STATUS_SUCCESS;
    }

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

}  // namespace

std::unique_ptr<TimelineCanvas> makePngCanvas(double width, double height) {
    return std::make_unique<CairoCanvas>(width, height);
}

}  // namespace quorvel::check
