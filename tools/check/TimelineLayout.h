// The geometry of the timeline picture: where each layer row, event bar, block mark, time tick
// and marker line goes. Pure arithmetic on the checked show, shared by the SVG and PNG output.
#pragma once

#include <string>
#include <vector>

namespace quorvel::check {

class ShowCheck;

struct EventBar {
    int layer = 0;
    float start = 0.0f;  // seconds
    float end = 0.0f;
    double x0 = 0, x1 = 0, y = 0, height = 0;
    std::string label;
    bool silent = false;          // never plays: drawn hatched
    std::vector<double> blockXs;  // parameter blocks sent after the event started
};

struct TimeMark {
    double x = 0;
    std::string label;
};

struct TimelineLayout {
    double width = 0, height = 0;
    double plotLeft = 0, plotRight = 0, plotTop = 0, plotBottom = 0;  // the rows' area
    double waveTop = 0, waveBottom = 0;                               // the music strip
    double rowHeight = 0;
    float firstSecond = 0, lastSecond = 0;
    double pixelsPerSecond = 0;
    std::string title;
    std::vector<int> rowLayers;   // used layers, bottom row first
    std::vector<double> rowTops;  // top of each row, same order
    std::vector<EventBar> bars;
    std::vector<TimeMark> ticks;      // time axis, mm:ss
    std::vector<TimeMark> baseTimes;  // "@basetime" positions
    TimeMark start, end;              // the show's start and end time
    std::vector<float> wave;          // peak per pixel column of the strip, 0..1; empty: no music

    double xOf(double seconds) const { return plotLeft + (seconds - firstSecond) * pixelsPerSecond; }
};

TimelineLayout layoutTimeline(const ShowCheck& check);

// "m:ss" for whole seconds (negative times with a leading minus).
std::string minutesAndSeconds(int seconds);

}  // namespace quorvel::check
