#pragma once

// The humidity-and-temperature graph settings window ("Настройки"): the refresh period, the four
// tolerance limits of the bar indicator, whether the indicator is shown and coloured, and a
// fixed signal range for the vertical axis. It opens modally over the graph window and takes its
// values from the process-wide variables; "OK" stores and writes only what changed and applies it
// to the graph window, the close picture drops everything.

#include "settings/humidity_graph_view.h"
#include "settings/keys.h"
#include "ui/borderless_window.h"
#include "ui/title_bar_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace zorvan::settings {

class TfmGraphVlazhTempNastr final : public ui::BorderlessWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 424;

    // Opens over view.graphWindow().
    explicit TfmGraphVlazhTempNastr(HumidityGraphView& view);

    // Stores what changed and closes the window; a limit or signal value that is not a number
    // takes the focus and keeps the window open.
    void BitBtnOKClick();

    // Components, named as in the window's design.
    QWidget* paGraphVlazhTempNastr;
    ui::TitleBarButton* CloseImage;
    QLabel* laKolIzmInXSec;
    QComboBox* cbKolIzmInXSec;
    QGroupBox* GroupBox1;
    QLabel* laTO2;
    QLineEdit* edTO2;
    QLabel* laTO1;
    QLineEdit* edTO1;
    QLabel* laTU1;
    QLineEdit* edTU1;
    QLabel* laTU2;
    QLineEdit* edTU2;
    QGroupBox* GroupBox2;
    QCheckBox* ChBViewIndicatorsColorUroven;
    QCheckBox* ChBViewColorUroven;
    QGroupBox* GroupBox3;
    QLabel* laMaxSignal;
    QComboBox* cbMaxSignal;
    QLabel* laMinSignal;
    QComboBox* cbMinSignal;
    QCheckBox* ChBSetUrovenOnGraph;
    QPushButton* BitBtnOK;
    QPushButton* ButtonPusto;

    // "OK" changed the signal range or its use.
    bool signalRangeChanged = false;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createComponents();
    void createLimitBoxes();
    void createIndicatorChecks();
    void createSignalRange();
    void FormCreate();
    void selectSignalEntries();
    void FormShow();

    void storeRefreshPeriod();
    bool storeLimits();
    void storeIndicator();
    bool storeSignalRange();
    bool storeSignalLimit(QComboBox* list, double& variable, const RealKey& key);

    HumidityGraphView& view_;
};

// The graph settings window while it is open.
inline QPointer<TfmGraphVlazhTempNastr> fmGraphVlazhTempNastr;

} // namespace zorvan::settings
