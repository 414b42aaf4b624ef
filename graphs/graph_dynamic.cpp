// The dynamic graph of instruments 1 and 2 over its sliding span, and the vertical scaling and
// read rate that the modes share.
#include "graphs/graph_clock.h"
#include "graphs/graph_window.h"
#include "graphs/point_colours.h"
#include "graphs/point_label.h"
#include "graphs/vertical_scaling.h"
#include "link/device_state.h"
#include "settings/settings_variables.h"

#include <vector>

namespace zorvan::graphs {

namespace {

bool secondInstrumentPresent() {
    return link::deviceAddress[1] > 0;
}

} // namespace

void TFormGraphic::addDynamicPoints(const GraphReading& reading) {
    if (Graphic.count() == 0) {
        labelOrigin_ = graphClockSeconds();
    }
    const double now = secondsSinceOrigin();
    const double scale = link::graphScale;
    const bool second = secondInstrumentPresent();
    Graphic.append(graphPointNumber_, reading.sample1 * scale, now, kPointRed);
    if (second) {
        Graphic2.append(graphPointNumber_, reading.sample2 * scale, now, kPointBlue);
    }
    ++graphPointNumber_;
    scaleVertically(true);
    if (graphPointNumber_ > graphAxisTo_) {
        ++graphAxisFrom_;
        ++graphAxisTo_;
        Chart1->bottomAxis().setMinMax(graphAxisFrom_, graphAxisTo_);
    }
    while (Graphic.count() > graphSpan_) {
        Graphic.removeFirst();
        if (second && Graphic2.count() > 0) {
            Graphic2.removeFirst();
        }
    }
    showReadRate();
}

void TFormGraphic::scaleVertically(bool graphicAlways) {
    std::vector<SeriesExtent> extents;
    for (const chart::LineSeries* series :
         {&Graphic, &Graphic2, &GraphicTemperatury, &GraphicDopPole, &GraphicTemperatury2}) {
        if (series->count() > 0 || (graphicAlways && series == &Graphic)) {
            extents.push_back({series->minY(), series->maxY()});
        }
    }
    if (extents.empty()) {
        return;
    }
    const AxisRange range = verticalRange(extents);
    Chart1->leftAxis().setMinMax(range.minimum, range.maximum);
}

void TFormGraphic::showReadRate() {
    const qsizetype count = Graphic.count();
    if (count >= 2) {
        laIzmPerSecond->setText(readRateText(count, Graphic.time(count - 1) - Graphic.time(0)));
    }
}

} // namespace zorvan::graphs
