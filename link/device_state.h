#pragma once

// Process-wide state shared by the windows, the timers and the worker threads. Flags and
// every value a worker reads or writes are atomics; data is stored before the flag that
// announces it (release) and read after the flag was seen (acquire).

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace zorvan::link {

constexpr int kDeviceCount = 6;
// versionByte1 from this value on: the "8.0" kind, with the discrete output and the humidity
// graph; below it (and not 0) the "4.3" kind.
constexpr std::uint8_t kFirstOutputKind = 80;
constexpr int kDisplayAnswerSize = 20;

template <typename T> using PerDevice = std::array<T, kDeviceCount>;
template <typename T> using AtomicPerDevice = std::array<std::atomic<T>, kDeviceCount>;

// Port settings; the user-interface thread owns them.
inline std::string comPortName;
inline std::int32_t baudRate = 0;
inline std::int32_t readTotalTimeoutConstant = 0;

// Instruments; 0 as an address means the instrument is absent.
inline AtomicPerDevice<std::int32_t> deviceAddress{};
inline std::atomic<bool> digitalOutAllowed{false};

// Poll results. displayAnswer[d] is written by the poll worker before it sets pollFresh[d].
inline PerDevice<std::array<std::uint8_t, kDisplayAnswerSize>> displayAnswer{};
inline AtomicPerDevice<std::uint8_t> versionByte0{};
inline AtomicPerDevice<std::uint8_t> versionByte1{};
inline AtomicPerDevice<std::uint8_t> versionByte2{};
inline AtomicPerDevice<std::uint8_t> versionByte3{};

// Line flags: who owns (or waits for) the line.
inline std::atomic<bool> pollInProgress{false};
inline std::atomic<bool> keyCommandBusy{false};
inline std::atomic<bool> commandBusy{false};
inline std::atomic<bool> graphWindowOpen{false};
inline std::atomic<bool> graphReadBusy{false};

// Result flags, from a worker to a timer of the user-interface thread.
inline AtomicPerDevice<bool> pollFailed{};
inline AtomicPerDevice<bool> pollFresh{};
inline std::atomic<bool> keyCommandFailed{false};
inline std::atomic<bool> digitalOutFailed{false};
// The keyboard lock state each instrument last acknowledged; a refused lock command puts the
// window's check box back to it.
inline AtomicPerDevice<bool> keyboardLockConfirmed{};

inline std::atomic<std::uint32_t> activeDevice{0};
// -1 until the instrument confirmed a mode with command 254.
inline std::atomic<std::int32_t> deviceModeState{-1};
inline std::atomic<std::int32_t> pollCount{0};

// Graph hand-over values.
inline std::atomic<std::int32_t> graphSample1{0};
inline std::atomic<std::int32_t> graphSample2{0};
inline std::atomic<std::int32_t> graphSample3{0};
inline std::atomic<std::int32_t> graphSample4{0};
inline std::atomic<std::int32_t> graphDecimals{0};
inline std::atomic<double> graphScale{0.0};

// The values the main window sets when it is created, after the settings are read.
void resetRunTimeState();

} // namespace zorvan::link
