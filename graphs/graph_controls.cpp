// The graph window's components: the chart and its series, the control strip, the chart's menu,
// and where they are placed as the window is sized.
#include "graphs/chart_picture.h"
#include "graphs/graph_file_dialogs.h"
#include "graphs/graph_window.h"
#include "graphs/read_period.h"

#include <QFileDialog>

namespace zorvan::graphs {

namespace {

constexpr int kStripHeight = 44;
constexpr int kHumidityStripHeight = 60;
constexpr int kIndicatorWidth = 90;
constexpr int kIndicatorGap = 5;

const QStringList kSpanEntries{
    QStringLiteral("100"),   QStringLiteral("200"),   QStringLiteral("300"),
    QStringLiteral("400"),   QStringLiteral("500"),   QStringLiteral("600"),
    QStringLiteral("700"),   QStringLiteral("800"),   QStringLiteral("900"),
    QStringLiteral("1000"),  QStringLiteral("2000"),  QStringLiteral("5000"),
    QStringLiteral("10000"), QStringLiteral("20000"), QStringLiteral("50000"),
    QStringLiteral("100000")};

const QStringList kThresholdEntries{
    QStringLiteral("1"),     QStringLiteral("2"),     QStringLiteral("5"),
    QStringLiteral("10"),    QStringLiteral("20"),    QStringLiteral("50"),
    QStringLiteral("100"),   QStringLiteral("200"),   QStringLiteral("500"),
    QStringLiteral("1000"),  QStringLiteral("2000"),  QStringLiteral("5000"),
    QStringLiteral("10000"), QStringLiteral("20000"), QStringLiteral("50000"),
    QStringLiteral("100000")};

} // namespace

void TFormGraphic::createComponents() {
    resize(kWidth, kHeight);
    setMinimumSize(600, 320);
    createSeries();
    createControls();
    createHumidityControls();
    createPopupMenu();
    laIzmPerSecond = new QLabel(Chart1);
    laIzmPerSecond->hide();
    laPropusky = new QLabel(Chart1);
    laPropusky->hide();
}

void TFormGraphic::createSeries() {
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->bottomAxis().setAutomatic(false);
    Chart1->leftAxis().setAutomatic(false);
    Chart1->leftAxis().setMinMax(-0.5, 0.5);
    Graphic.setColour(Qt::blue);
    Graphic2.setColour(Qt::green);
    Graphic2.setPenWidth(2);
    GraphicTemperatury.setColour(Qt::red);
    GraphicTemperatury.setPenWidth(2);
    GraphicTemperatury2.setColour(Qt::red);
    GraphicTemperatury2.setPenStyle(chart::PenStyle::Dot);
    GraphicDopPole.setColour(QColor(0, 255, 0));
    GraphicDopPole.setPenWidth(2);
    const auto label = [this](double time) { return labelOf(time); };
    for (chart::LineSeries* series :
         {&Graphic, &Graphic2, &GraphicTemperatury, &GraphicTemperatury2, &GraphicDopPole}) {
        series->setLabelFormat(label);
    }
    paIndicator->setObjectName(QStringLiteral("paIndicator"));
    Chart2->setObjectName(QStringLiteral("Chart2"));
    Chart2->leftAxis().setAutomatic(false);
    Chart2->bottomAxis().setAutomatic(false);
    for (chart::Chart* chart : {Chart1, Chart2}) {
        chart->setBackgroundColour(Qt::white);
        connect(chart, &chart::Chart::doubleClicked, this, [this] { toggleMaximized(); });
    }
}

void TFormGraphic::createControls() {
    paControls = new QWidget(this);
    BitBtnPuskStop = new QPushButton(kStart, paControls);
    BitBtnPuskStop->setGeometry(8, 8, 90, 28);
    BitBtnPuskStop->setEnabled(false);
    laTimeOnGraph = new QLabel(QStringLiteral("Окно:"), paControls);
    laTimeOnGraph->setGeometry(112, 8, 44, 28);
    cbOkno = new QComboBox(paControls);
    cbOkno->setGeometry(156, 8, 90, 28);
    cbOkno->addItems(kSpanEntries);
    cbOkno->setEnabled(false);
    laReadPeriod = new QLabel(QStringLiteral("Период чтения данных, с:"), paControls);
    laReadPeriod->setGeometry(262, 8, 170, 28);
    cbReadPeriod = new QComboBox(paControls);
    cbReadPeriod->setGeometry(432, 8, 70, 28);
    cbReadPeriod->addItems(readPeriodEntries());
    cbReadPeriod->setEnabled(false);
    laMinViewValue = new QLabel(QStringLiteral("Показывать значения >"), paControls);
    laMinViewValue->setGeometry(518, 8, 150, 28);
    laMinViewValue->hide();
    cbMinViewValue = new QComboBox(paControls);
    cbMinViewValue->setEditable(true);
    cbMinViewValue->addItems(kThresholdEntries);
    cbMinViewValue->setCurrentText(QStringLiteral("100"));
    cbMinViewValue->setGeometry(668, 8, 90, 28);
    cbMinViewValue->hide();
    BitBtnCloseGraphic = new QPushButton(QStringLiteral("Выход"), paControls);
    BitBtnCloseGraphic->setFixedSize(90, 28);
    // Takes the focus after every click, so that no button keeps a focus frame.
    ButtonPusto = new QPushButton(paControls);
    ButtonPusto->setGeometry(0, 0, 0, 0);

    connect(BitBtnPuskStop, &QPushButton::clicked, this, [this] { BitBtnPuskStopClick(); });
    connect(BitBtnCloseGraphic, &QPushButton::clicked, this, [this] { BitBtnCloseGraphicClick(); });
    TimerGraphic.setTimerType(Qt::PreciseTimer);
    connect(&TimerGraphic, &QTimer::timeout, this, [this] { TimerGraphicTimer(); });
    TimerAutoSave.setInterval(kAutoSaveMs);
    connect(&TimerAutoSave, &QTimer::timeout, this, [this] { TimerAutoSaveTimer(); });
}

void TFormGraphic::createPopupMenu() {
    GraphPopupMenu = new QMenu(this);
    NSaveDataGraph =
        GraphPopupMenu->addAction(QStringLiteral("Сохранить в файле данные из графика"));
    NLoadDataGraph =
        GraphPopupMenu->addAction(QStringLiteral("Отобразить на графике данные из файла"));
    connect(NSaveDataGraph, &QAction::triggered, this, [this] { NSaveDataGraphClick(); });
    connect(NLoadDataGraph, &QAction::triggered, this, [this] { NLoadDataGraphClick(); });
    NSaveGraphPicture = insertPictureItem(
        *GraphPopupMenu, nullptr, *Chart1,
        {[this](QFileDialog& dialog) {
             return chooseSaveFile ? chooseSaveFile() : chosenFile(dialog);
         },
         [this](const QString& path, const QString& reason) { showFileError(path, reason); }});
    Chart1->setPopupMenu(GraphPopupMenu);
    Chart2->setPopupMenu(GraphPopupMenu);
    // An empty graph has nothing to save.
    connect(GraphPopupMenu, &QMenu::aboutToShow, this, [this] {
        NSaveDataGraph->setVisible(Graphic.count() > 0);
        NLoadDataGraph->setVisible(true);
    });
}

void TFormGraphic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void TFormGraphic::placeControls() {
    const int strip = mode_ == GraphMode::Humidity ? kHumidityStripHeight : kStripHeight;
    const int chartHeight = height() - strip;
    const int indicatorSpace = paIndicator->isHidden() ? 0 : kIndicatorWidth + kIndicatorGap;
    Chart1->setGeometry(0, 0, width() - indicatorSpace, chartHeight);
    paIndicator->setGeometry(width() - kIndicatorWidth, 0, kIndicatorWidth, chartHeight);
    Chart2->setGeometry(0, 0, kIndicatorWidth, chartHeight);
    paControls->setGeometry(0, chartHeight, width(), strip);
    const int right = width() - 8;
    BitBtnCloseGraphic->move(right - BitBtnCloseGraphic->width(), 10);
    BitBtnNastroyki->move(right - BitBtnCloseGraphic->width() - 8 - BitBtnNastroyki->width(), 4);
    CheckBoxZaprosPr44->move(BitBtnNastroyki->x(), 36);
}

} // namespace zorvan::graphs
