#pragma once

// Sections and keys of the settings file with their defaults. The Russian names are the
// file's own and are written to it in Windows-1251 exactly as spelled here.

#include "link/device_state.h"

#include <QStringView>
#include <array>
#include <cstdint>

namespace zorvan::settings {

struct IntegerKey {
    QStringView section;
    QStringView name;
    std::int32_t defaultValue;
};

struct BoolKey {
    QStringView section;
    QStringView name;
    bool defaultValue;
};

struct RealKey {
    QStringView section;
    QStringView name;
    double defaultValue;
};

struct TextKey {
    QStringView section;
    QStringView name;
    QStringView defaultValue;
};

template <typename Key> using PerDeviceKeys = std::array<Key, link::kDeviceCount>;

inline constexpr QStringView kSectionGraph = u"График";
inline constexpr QStringView kSectionComPort = u"Параметры COM-порта";
inline constexpr QStringView kSectionDevice = u"Параметры прибора";
inline constexpr QStringView kSectionWindows = u"Окна";
inline constexpr QStringView kSectionHumidityGraph = u"График (влажность и температура)";
inline constexpr QStringView kSectionSweep = u"АЧХ";

// "График"
inline constexpr IntegerKey kDecimalSeparator{kSectionGraph, u"Разделитель целой и дробной части",
                                              1};
inline constexpr IntegerKey kGraphSpan{kSectionGraph, u"Окно", 100};
inline constexpr IntegerKey kReadPeriod{kSectionGraph, u"Период чтения данных, мс", 500};
inline constexpr IntegerKey kGraphLineWidth{kSectionGraph, u"Толщина линии графика", 2};

// "Параметры COM-порта"
inline constexpr TextKey kComPort{kSectionComPort, u"COM-порт", u"COM1"};
inline constexpr IntegerKey kBaudRate{kSectionComPort, u"Скорость (бит/с)", 9600};
inline constexpr IntegerKey kReadTotalTimeoutConstant{kSectionComPort, u"ReadTotalTimeoutConstant",
                                                      200};

// "Параметры прибора"
inline constexpr PerDeviceKeys<IntegerKey> kDeviceAddress{{
    {kSectionDevice, u"Адрес прибора №1", 10},
    {kSectionDevice, u"Адрес прибора №2", 0},
    {kSectionDevice, u"Адрес прибора №3", 0},
    {kSectionDevice, u"Адрес прибора №4", 0},
    {kSectionDevice, u"Адрес прибора №5", 0},
    {kSectionDevice, u"Адрес прибора №6", 0},
}};
inline constexpr BoolKey kDigitalOutAllowed{kSectionDevice,
                                            u"Разрешить управление дискретным выходом", false};
inline constexpr IntegerKey kPollPeriod{kSectionDevice, u"Период опроса в режиме индикации, мс",
                                        1000};

// "Окна". The key that says "справа" (right) has always held the top edge.
inline constexpr PerDeviceKeys<IntegerKey> kWindowLeft{{
    {kSectionWindows, u"Позиция окна прибора №1 слева", 0},
    {kSectionWindows, u"Позиция окна прибора №2 слева", 0},
    {kSectionWindows, u"Позиция окна прибора №3 слева", 0},
    {kSectionWindows, u"Позиция окна прибора №4 слева", 0},
    {kSectionWindows, u"Позиция окна прибора №5 слева", 0},
    {kSectionWindows, u"Позиция окна прибора №6 слева", 0},
}};
inline constexpr PerDeviceKeys<IntegerKey> kWindowTop{{
    {kSectionWindows, u"Позиция окна прибора №1 справа", 0},
    {kSectionWindows, u"Позиция окна прибора №2 справа", 0},
    {kSectionWindows, u"Позиция окна прибора №3 справа", 0},
    {kSectionWindows, u"Позиция окна прибора №4 справа", 0},
    {kSectionWindows, u"Позиция окна прибора №5 справа", 0},
    {kSectionWindows, u"Позиция окна прибора №6 справа", 0},
}};

// "График (влажность и температура)", in the order in which the keys are read and, when
// absent, written back at start.
inline constexpr TextKey kRefreshPeriod{kSectionHumidityGraph, u"Период обновления, сек.", u"6"};
inline constexpr TextKey kRealValue{kSectionHumidityGraph, u"Реальное значение", u"10"};
inline constexpr BoolKey kNoRequestMode{kSectionHumidityGraph, u"Без запроса Pr44", false};
inline constexpr RealKey kLimitTU2{kSectionHumidityGraph, u"TU2 (G1)", 2.0};
inline constexpr RealKey kLimitTU1{kSectionHumidityGraph, u"TU1 (G2)", 3.0};
inline constexpr RealKey kLimitTO1{kSectionHumidityGraph, u"TO1 (G3)", 5.0};
inline constexpr RealKey kLimitTO2{kSectionHumidityGraph, u"TO2 (G4)", 7.0};
inline constexpr BoolKey kIndicatorShown{kSectionHumidityGraph, u"Показывать индикатор", false};
inline constexpr BoolKey kIndicatorColoured{kSectionHumidityGraph, u"Менять цвет индикатора",
                                            false};
inline constexpr RealKey kSignalMin{kSectionHumidityGraph, u"Минимальное значение сигнала", 0.0};
inline constexpr RealKey kSignalMax{kSectionHumidityGraph, u"Максимальное значение сигнала", 100.0};
inline constexpr BoolKey kSignalRangeFixed{
    kSectionHumidityGraph, u"Использовать минимальное и максимальное значения сигнала", true};

// "АЧХ"
inline constexpr IntegerKey kSweepMin{kSectionSweep, u"Мин. напр., в десятках мВ", 0};
inline constexpr IntegerKey kSweepMax{kSectionSweep, u"Макс. напр., в десятках мВ", 500};
inline constexpr IntegerKey kSweepStep{kSectionSweep, u"Шаг скан., в десятках мВ", 1};
inline constexpr IntegerKey kSweepPause{kSectionSweep, u"Пауза чтения, в сотнях мс", 20};
inline constexpr IntegerKey kMainLineWidth{kSectionSweep, u"Толщина линии основного графика", 2};
inline constexpr IntegerKey kOverlayLineWidth{kSectionSweep,
                                              u"Толщина линий дополнительных графиков", 1};
inline constexpr IntegerKey kCaptionPathMaxLength{
    kSectionSweep, u"Максимальная длина пути к папке, показываемой в заголовке", 77};
inline constexpr BoolKey kCaptionFullFoldersOnly{
    kSectionSweep, u"Показывать в заголовке только полные названия папок", false};
inline constexpr IntegerKey kPreviousScanPenStyle{
    kSectionSweep, u"Стиль линии графика предыдущего сканирования", 2};
inline constexpr IntegerKey kPrePreviousScanPenStyle{
    kSectionSweep, u"Стиль линии графика позапрошлого сканирования", 3};
inline constexpr BoolKey kRestartOnExit{kSectionSweep, u"Перезапуск при выходе", true};

} // namespace zorvan::settings
