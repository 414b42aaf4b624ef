#pragma once

// What the humidity graph settings window changes on the open graph window when its values are
// accepted. The graph window implements it, so the settings layer never sees the graph's class.

class QWidget;

namespace zorvan::settings {

class HumidityGraphView {
public:
    virtual ~HumidityGraphView() = default;

    // Shows or hides the bar indicator's panel; the main chart gives up or takes back its width.
    virtual void showIndicatorPanel(bool shown) = 0;
    // Adds the indicator bar, green at the bottom of the indicator's scale, when there is none.
    virtual void addIndicatorBarIfMissing() = 0;
    // Colours the bar green when there is one.
    virtual void colourIndicatorBarGreen() = 0;
    // Sets the vertical axis of the main chart to the fixed signal range (in whichever order the
    // chart takes it) and the indicator's axis to the same range.
    virtual void applySignalRange(double minimum, double maximum) = 0;
    // The graph window, over which the settings window opens.
    virtual QWidget* graphWindow() = 0;
};

} // namespace zorvan::settings
