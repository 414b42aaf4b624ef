#pragma once

// The frequency-response ("АЧХ") window: steps the set voltage of instrument 1 from a start to an
// end value, reads the humidity after a pause at each step and plots it against the voltage. The
// two scans before stay on the chart as thin red curves, and up to seven curve files can be laid
// over them. While it is open it owns the line: the panels are out of sight and the poll is off.
// Every exchange runs as a line job; the pause between a step's writes and its reading is the
// window's tick timer, so the window answers the user throughout.

#include "chart/chart.h"
#include "graphs/curve_file.h"
#include "graphs/sweep_range.h"
#include "graphs/vertical_scaling.h"
#include "ui/captioned_window.h"
#include "ui/window_host.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace zorvan::link {
struct SweepPreparation;
}

namespace zorvan::graphs {

class TfmGraphicAChH final : public ui::CaptionedWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 453;

    // Stops the host's poll and starts preparing instrument 1; "Пуск" and "Выход" are enabled
    // once it answered or was found silent.
    explicit TfmGraphicAChH(ui::WindowHost& host);
    ~TfmGraphicAChH() override;

    void BitBtnPuskStopClick();
    void BitBtnCloseGraphicClick();
    void TimerGraphicAChHTimer();
    void cbNaprChange();

    // The vertical range over all ten curves; also shows the clear items that have something to
    // clear and gives the caption back to baseTitle when every curve is empty.
    AxisRange CalcVerticalRange();

    void NSaveDataGraphClick();
    void NLoadDataGraphClick();
    // Overlay n, 1..7.
    void NLoadDataGraphDopClick(int n);
    void NClearDataGraphClick();
    void NClearDataGraphDopClick(int n);
    void NClearAllDataGraphDopClick();
    void NClearAllDataGraphClick();

    bool running() const { return BitBtnPuskStop->text() == kStop; }
    bool deviceReady() const { return deviceReady_; }
    const QString& baseTitle() const { return baseTitle_; }
    std::uint16_t initialSetValue() const { return initialSetValue_; }
    std::int32_t currentSetValue() const { return currentSetValue_; }
    int readFailureCount() const { return readFailureCount_; }

    // How the window runs its file dialogs and message boxes: exec() unless replaced, as the
    // tests and the screenshots tool do. A dialog gives the chosen file, or nothing on cancel.
    std::function<QString(QFileDialog&)> runFileDialog;
    std::function<int(QMessageBox&)> runMessageBox;

    // Components, named as in the window's design.
    QWidget* paGraphicAChH;
    chart::Chart* Chart1;
    std::array<chart::LineSeries*, kOverlayCount> GraphicDop; // GraphicDop1 .. GraphicDop7
    chart::LineSeries& GraphicPrePreviousScan;
    chart::LineSeries& GraphicPreviousScan;
    chart::LineSeries& Graphic;
    QPushButton* BitBtnPuskStop;
    QPushButton* BitBtnCloseGraphic;
    QLabel* laMinNapr;
    QComboBox* cbMinNapr;
    QLabel* laMaxNapr;
    QComboBox* cbMaxNapr;
    QLabel* laStep;
    QComboBox* cbStep;
    QLabel* laPause;
    QComboBox* cbPause;
    QPushButton* ButtonPusto;
    QTimer TimerGraphicAChH;

    QMenu* GraphPopupMenu;
    QAction* NSaveDataGraph;
    QAction* NLoadDataGraph;
    std::array<QAction*, kOverlayCount> NLoadDataGraphDop; // NLoadDataGraphDop1 .. 7
    QAction* NClearDataGraph;
    std::array<QAction*, kOverlayCount> NClearDataGraphDop; // NClearDataGraphDop1 .. 7
    QAction* NClearAllDataGraphDop;
    QAction* NClearAllDataGraph;
    QAction* NSaveGraphPicture;
    QFileDialog* GraphTXTOpenDialog;
    QFileDialog* GraphTXTSaveDialog;

    static inline const QString kStart = QStringLiteral("Пуск");
    static inline const QString kStop = QStringLiteral("Стоп");
    static inline const QString kReadySuffix = QStringLiteral(" - АЧХ");
    static inline const QString kSilentSuffix = QStringLiteral(" отключен - АЧХ");
    static inline const QString kScanTitle = QStringLiteral("Скан.");
    static inline const QString kPreviousScanTitle = QStringLiteral("Скан.-1");
    static inline const QString kPrePreviousScanTitle = QStringLiteral("Скан.-2");
    static inline const QString kSweepDone =
        QStringLiteral("Сканирование завершено!\nСохранить данные из графика в файле?");
    static inline const QString kReadError = QStringLiteral("Ошибка чтения");
    static inline const QString kWrongFormat = QStringLiteral("Неправильный формат файла ");

protected:
    QWidget* focusHolder() override { return ButtonPusto; }
    bool mayClose() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createComponents();
    void createControls();
    QComboBox* addList(const QString& caption, QLabel*& label);
    void createPopupMenu();
    void FormCreate();
    void selectStoredValues();
    void preparationEnded(const link::SweepPreparation& preparation);
    void startSweep();
    void shiftPreviousScans();
    void takeListValues();
    void TimerViewReading(std::int32_t sample);
    void askToSaveScan();
    void readFailed();
    void writeNextSetValue();
    void restartTick();
    void stepWritten(bool portLost);
    void portWentAway();
    void tryPortReturn();
    void portReturnEnded(bool returned);
    void showConnection(bool connected);
    void endSweep();
    void applyVerticalRange();
    void setClearItemsVisible(const SweepRange& range);
    void Chart1MouseDown(QMouseEvent* event);
    void Chart1MouseMove(QMouseEvent* event);
    void Chart1MouseUp();
    void showFileItems();
    void FormClose();
    void giveLineBack();
    void writeChangedSettings();
    void placeControls();

    std::optional<QString> chooseCurveFile();
    // The points of a chosen file, or nothing when it could not be read or was refused.
    std::optional<std::vector<CurvePoint>> readChosenFile(const QString& path);
    void showFolderInCaption(const QString& path);
    void reportWriteFailure(const QString& path, const QString& reason);
    int showMessage(QMessageBox::Icon icon, const QString& text,
                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    ui::WindowHost& host_;
    bool stopRequested_ = false;
    bool firstStep_ = false;
    std::int32_t currentSetValue_ = 0;
    bool deviceReady_ = false;
    QString instrumentTitle_;
    // The caption without a folder: the instrument's title and whether it is connected.
    QString baseTitle_;
    std::uint16_t initialSetValue_ = 0;
    // Failed readings of the sweep under way; three end it.
    int readFailureCount_ = 0;
    bool exitChosen_ = false;
    // Set by the close: results of line jobs that arrive later are dropped.
    bool closing_ = false;
    bool lineGivenBack_ = false;
    // While the port is lost, tries to open it again and hand the instrument its set value back.
    QTimer portReturnTimer_;
};

// The frequency-response window while it exists.
inline QPointer<TfmGraphicAChH> fmGraphicAChH;

// "АЧХ": opens the frequency-response window over the host's hidden panels.
void NAChHClick(ui::WindowHost& host);

} // namespace zorvan::graphs
