#include "TimelinePicture.h"

#include <algorithm>
#include <cctype>

#include "ShowCheck.h"
#include "TimelineCanvas.h"
#include "TimelineLayout.h"

namespace quorvel::check {

namespace {

const Colour kInk{40, 40, 48};
const Colour kGrid{215, 215, 222};
const Colour kRowShade{244, 244, 248};
const Colour kBar{92, 132, 196};
const Colour kBarText{255, 255, 255};
const Colour kBlockMark{250, 200, 60};
const Colour kBaseTime{120, 120, 140};
const Colour kStartEnd{200, 40, 40};
const Colour kWave{110, 150, 110};

void draw(const TimelineLayout& layout, TimelineCanvas& canvas) {
    canvas.text("title", layout.plotLeft, 16, layout.title, 14, kInk, Anchor::Start, 0);

    for (std::size_t row = 0; row < layout.rowLayers.size(); ++row) {
        const double top = layout.rowTops[row];
        if (row % 2 == 0) {
            canvas.rect("row", layout.plotLeft, top, layout.plotRight - layout.plotLeft, layout.rowHeight, kRowShade,
                        false);
        }
        canvas.text("layer", layout.plotLeft - 8, top + layout.rowHeight / 2 + 4,
                    "layer " + std::to_string(layout.rowLayers[row]), 11, kInk, Anchor::End, 0);
    }
    for (const TimeMark& tick : layout.ticks) {
        canvas.line("tick", tick.x, layout.plotTop, tick.x, layout.plotBottom + 4, kGrid, 1, false);
        canvas.text("tick", tick.x, layout.plotBottom + 18, tick.label, 11, kInk, Anchor::Middle, 0);
    }
    for (const TimeMark& base : layout.baseTimes) {
        canvas.line("basetime", base.x, layout.plotTop - 2, base.x, layout.plotBottom, kBaseTime, 1, true);
        canvas.text("basetime", base.x + 2, layout.plotTop - 2, base.label, 9, kBaseTime, Anchor::Start, 0);
    }

    for (const EventBar& bar : layout.bars) {
        // One pixel short, so that an event ending where the next begins stays apart from it.
        const double width = std::max(2.0, bar.x1 - bar.x0 - 1);
        canvas.rect("event", bar.x0, bar.y, width, bar.height, kBar, bar.silent);
        for (const double x : bar.blockXs) {
            canvas.line("block", x, bar.y, x, bar.y + bar.height, kBlockMark, 3, false);
        }
        canvas.text("label", bar.x0 + 4, bar.y + bar.height / 2 + 4, bar.label, 11, bar.silent ? kInk : kBarText,
                    Anchor::Start, width - 8);
    }

    for (const TimeMark* mark : {&layout.start, &layout.end}) {
        canvas.line("startend", mark->x, layout.plotTop - 10, mark->x, layout.waveBottom, kStartEnd, 1.5, false);
        canvas.text("startend", mark->x + (mark == &layout.start ? 3 : -3), layout.plotTop - 12, mark->label, 11,
                    kStartEnd, mark == &layout.start ? Anchor::Start : Anchor::End, 0);
    }

    // The music strip: the peak envelope mirrored around the strip's middle.
    const double middle = (layout.waveTop + layout.waveBottom) / 2;
    const double half = (layout.waveBottom - layout.waveTop) / 2;
    canvas.line("wave", layout.plotLeft, middle, layout.plotRight, middle, kGrid, 1, false);
    if (layout.wave.empty()) {
        canvas.text("wave", layout.plotLeft + 4, middle - 4, "no music", 11, kInk, Anchor::Start, 0);
        return;
    }
    std::vector<double> outline;
    for (std::size_t c = 0; c < layout.wave.size(); ++c) {
        outline.push_back(layout.plotLeft + static_cast<double>(c));
        outline.push_back(middle - layout.wave[c] * half);
    }
    for (std::size_t c = layout.wave.size(); c-- > 0;) {
        outline.push_back(layout.plotLeft + static_cast<double>(c));
        outline.push_back(middle + layout.wave[c] * half);
    }
    canvas.polygon("wave", outline, kWave);
}

bool endsWithPng(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0;
}

}  // namespace

bool writeTimelinePicture(const ShowCheck& check, const std::string& path, std::string& why) {
    const TimelineLayout layout = layoutTimeline(check);
    std::unique_ptr<TimelineCanvas> canvas =
        endsWithPng(path) ? makePngCanvas(layout.width, layout.height) : makeSvgCanvas(layout.width, layout.height);
    draw(layout, *canvas);
    return canvas->save(path, why);
}

}  // namespace quorvel::check
