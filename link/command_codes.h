#pragma once

// The command table of the line, shared by the master's routines and the simulated instruments.

#include <cstdint>

namespace zorvan::link {

// Mode bits OR-ed into the address byte.
constexpr std::uint8_t kDataReadBits = 0x80;     // data reads
constexpr std::uint8_t kRegisterReadBits = 0xC0; // reads of codes 0, 5, 6 and 31
constexpr std::uint8_t kWriteBits = 0x40;        // writes of codes 5 and 6, FLASH pieces

// Data reads (kDataReadBits).
constexpr std::uint8_t kPanelCode = 47;
constexpr std::uint8_t kVersionCode = 236;
constexpr std::uint8_t kHumiditySampleCode = 149;
constexpr std::uint8_t kSampleCode = 152;
constexpr std::uint8_t kFlashReadinessCode = 237;
constexpr std::uint8_t kPageResultCode = 255;

// Register reads (kRegisterReadBits) and writes (kWriteBits).
constexpr std::uint8_t kLargeSampleCode = 0;
constexpr std::uint8_t kSetValueCode = 5;
constexpr std::uint8_t kSetValueHighCode = 6;
constexpr std::uint8_t kDecimalsCode = 6;
constexpr std::uint8_t kDecimalsCodeLarge = 31;

// Control commands (no mode bits).
constexpr std::uint8_t kBufferCodeSmall = 251;
constexpr std::uint8_t kDigitalOutCode = 252;
constexpr std::uint8_t kKeyCode = 253;
constexpr std::uint8_t kModeCode = 254;
constexpr std::uint8_t kServiceCode = 255;

// Parameters of the control commands.
constexpr std::uint8_t kOpenBufferSmall = 1;
constexpr std::uint8_t kCloseBufferLarge = 250;
constexpr std::uint8_t kCloseBufferSmall = 0;
constexpr std::uint8_t kPrepareFlash = 3;
constexpr std::uint8_t kRestart = 1;
constexpr std::uint8_t kBurnPage = 5;
constexpr std::uint8_t kKeyReleased = 12;
constexpr std::uint8_t kLockKeyboard = 16;
constexpr std::uint8_t kUnlockKeyboard = 17;
constexpr std::uint8_t kApplySetValue = 100;
constexpr std::uint8_t kOpenBufferLarge = 251;

// Key codes of the front-panel keys (kKeyCode).
constexpr std::uint8_t kKeyT = 4;
constexpr std::uint8_t kKeyZero = 8;
constexpr std::uint8_t kKeyF1 = 1;
constexpr std::uint8_t kKeyF2 = 2;

// Discrete-output parameters (kDigitalOutCode): switched by the master, or left to the
// instrument.
constexpr std::uint8_t kOutputOn = 129;
constexpr std::uint8_t kOutputOff = 128;
constexpr std::uint8_t kOutputControlDisallowed = 0;

// Bits of the lamp byte, the first data byte of the panel answer (kPanelCode).
constexpr std::uint8_t kLampTareBit = 0x80;
constexpr std::uint8_t kLampZeroBit = 0x40;
constexpr std::uint8_t kLampStabBit = 0x20;
constexpr std::uint8_t kOutputLampBit = 0x10;

} // namespace zorvan::link
