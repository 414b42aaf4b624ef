#include "sim/instrument.h"

#include "sim/answer.h"
#include "sim/protocol.h"

#include <algorithm>
#include <cmath>

namespace zorvan::sim {

namespace {

std::int32_t hundredths(double value) {
    return static_cast<std::int32_t>(std::lround(value * 100.0));
}

DisplayView nextView(DisplayView view) {
    switch (view) {
    case DisplayView::Reading:
        return DisplayView::Temperature;
    case DisplayView::Temperature:
        return DisplayView::SetVoltage;
    case DisplayView::SetVoltage:
        break;
    }
    return DisplayView::Reading;
}

DisplayView previousView(DisplayView view) {
    return nextView(nextView(view));
}

} // namespace

Instrument::Instrument(std::uint8_t address, VersionBytes version, Clock::time_point startedAt)
    : address(address), version(version),
      flashReadiness(version[1] >= 80 ? kReadinessLargePieces : kReadinessSmallPieces),
      startedAt_(startedAt) {
    reading.driftPhase = 7.0 * address;
}

std::optional<std::vector<std::uint8_t>> Instrument::respond(const Request& request,
                                                             Clock::time_point now) {
    if (faults.silent) {
        return std::nullopt;
    }
    auto answer = carryOut(request, now);
    if (!answer) {
        return std::nullopt;
    }
    ++answersGiven_;
    auto sent = damageAnswer(faults, answersGiven_, *answer);
    if (logSampleAnswers) {
        const bool broken = !sent || faults.corruptChecksum || faults.truncateBy > 0;
        const bool garbage = !faults.leadingGarbage.empty();
        logSampleAnswer(request, now, *answer,
                        broken    ? AnswerDamage::Broken
                        : garbage ? AnswerDamage::Garbage
                        : closedByNoise(*answer, faults.strayBytes)
                            ? AnswerDamage::NoiseClosingAnAnswer
                            : AnswerDamage::None);
    }
    return sent;
}

void Instrument::logSampleAnswer(const Request& request, Clock::time_point now,
                                 const std::vector<std::uint8_t>& answer, AnswerDamage damage) {
    const bool read = request.mode() == kDataReadMode || request.mode() == kRegisterReadMode;
    const bool sample = request.code() == kSampleCode || request.code() == kLargeSampleCode;
    if (!read || (!sample && request.code() != kHumiditySampleCode)) {
        return;
    }
    // After the address and the code; a humidity answer has the temperature first.
    const std::size_t at = request.code() == kHumiditySampleCode ? 5 : 2;
    std::uint32_t raw = 0;
    for (int i = 2; i >= 0; --i) {
        raw = (raw << 8) | answer[at + std::size_t(i)];
    }
    const auto value = static_cast<std::int32_t>(raw << 8) >> 8; // sign from bit 23
    sampleAnswers.push_back({now, value, damage, faults.answerDelay});
}

double Instrument::measuredValue(Clock::time_point now) const {
    return humidityAt(reading, now - startedAt_) * sensorResponse(appliedSetValue);
}

double Instrument::shownValue(Clock::time_point now) const {
    return measuredValue(now) - zeroOffset - tareOffset;
}

std::int32_t Instrument::sampleValue(Clock::time_point now) const {
    return static_cast<std::int32_t>(std::lround(shownValue(now) * std::pow(10.0, decimals)));
}

std::int32_t Instrument::graphSampleValue(Clock::time_point now) const {
    const double value = shownValue(now) + signalDetailAt(reading, now - startedAt_);
    return static_cast<std::int32_t>(std::lround(value * std::pow(10.0, decimals)));
}

bool Instrument::stable(Clock::time_point now) const {
    const double change = measuredValue(now) - measuredValue(now - std::chrono::seconds(1));
    return std::abs(change) < kStableBand;
}

std::uint8_t Instrument::lamps(Clock::time_point now) const {
    if (panelOverride) {
        return panelOverride->lamps;
    }
    std::uint8_t bits = 0;
    bits |= tared ? kLampTare : 0;
    bits |= zeroed ? kLampZero : 0;
    bits |= stable(now) ? kLampStable : 0;
    bits |= digitalOut ? kLampDigitalOut : 0;
    return bits;
}

IndicatorCodes Instrument::indicatorCodes(Clock::time_point now) const {
    if (panelOverride) {
        return panelOverride->codes;
    }
    switch (view) {
    case DisplayView::Temperature:
        return indicatorCodesFor(temperature1At(reading, now - startedAt_), 1, 't');
    case DisplayView::SetVoltage:
        return indicatorCodesFor(appliedSetValue / 100.0, 2, 'V');
    case DisplayView::Reading:
        break;
    }
    return indicatorCodesFor(shownValue(now), decimals);
}

std::optional<std::vector<std::uint8_t>> Instrument::carryOut(const Request& request,
                                                              Clock::time_point now) {
    switch (request.mode()) {
    case kDataReadMode:
    case kRegisterReadMode: {
        // The firmware answers a read only in its own length; a master asking for another
        // count gets nothing.
        const auto count = dataCountOf(request.mode(), request.code());
        if (!count || request.parameter() + 1u != *count) {
            ++refusedReads;
            return std::nullopt;
        }
        auto data = request.mode() == kDataReadMode ? readData(request.code(), now)
                                                    : readRegister(request.code(), now);
        if (!data) {
            return std::nullopt;
        }
        return dataAnswer(request, *data);
    }
    case kWriteMode:
        if (!write(request)) {
            return std::nullopt;
        }
        return acknowledgement(request);
    default:
        if (!control(request, now)) {
            return std::nullopt;
        }
        return acknowledgement(request);
    }
}

std::optional<std::vector<std::uint8_t>> Instrument::readData(std::uint8_t code,
                                                              Clock::time_point now) const {
    std::vector<std::uint8_t> data;
    switch (code) {
    case kPanelCode: {
        data.push_back(lamps(now));
        const IndicatorCodes codes = indicatorCodes(now);
        data.insert(data.end(), codes.begin(), codes.end());
        return data;
    }
    case kVersionCode:
        return std::vector<std::uint8_t>(version.begin(), version.end());
    case kHumiditySampleCode:
        appendSigned24(data, hundredths(temperature1At(reading, now - startedAt_)));
        appendSigned24(data, graphSampleValue(now));
        data.push_back(0);
        data.push_back(0);
        appendSigned24(data, hundredths(temperature2At(reading, now - startedAt_)));
        return data;
    case kSampleCode:
        appendSigned24(data, graphSampleValue(now));
        return data;
    case kFlashReadinessCode:
        return std::vector<std::uint8_t>{flashReadiness};
    case kPageResultCode:
        return std::vector<std::uint8_t>{flash.pageResult()};
    default:
        return std::nullopt;
    }
}

std::optional<std::vector<std::uint8_t>> Instrument::readRegister(std::uint8_t code,
                                                                  Clock::time_point now) const {
    std::vector<std::uint8_t> data;
    switch (code) {
    case kLargeSampleCode:
        appendSigned24(data, graphSampleValue(now));
        return data;
    case kSetValueLowCode:
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(setValue & 0xFF),
                                         static_cast<std::uint8_t>(setValue >> 8)};
    case kDecimalsCode:
    case kDecimalsCodeLarge:
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(std::max(decimals - 1, 0))};
    default:
        return std::nullopt;
    }
}

bool Instrument::write(const Request& request) {
    switch (request.code()) {
    case kSetValueLowCode:
        setValue = static_cast<std::uint16_t>((setValue & 0xFF00) | request.parameter());
        return true;
    case kSetValueHighCode:
        setValue = static_cast<std::uint16_t>((setValue & 0x00FF) | (request.parameter() << 8));
        return true;
    default:
        return flash.writePiece(request.code(), request.data(), request.dataCount());
    }
}

bool Instrument::control(const Request& request, Clock::time_point now) {
    const bool block = request.dataCount() > 0;
    switch (request.code()) {
    case kBufferCodeSmall:
        if (block && request.data()[0] == kCloseBufferSmall) {
            flash.closeBuffer();
        } else if (!block && request.parameter() == kOpenBufferSmall) {
            flash.openBuffer();
        }
        return true;
    case kDigitalOutCode:
        setDigitalOut(request.parameter());
        return true;
    case kKeyCode:
        pressKey(request.parameter(), now);
        return true;
    case kModeCode:
        command254(request.parameter());
        return true;
    case kServiceCode:
        if (block) {
            if (request.data()[0] == kCloseBufferLarge) {
                flash.closeBuffer();
            }
        } else {
            command255(request.parameter());
        }
        return true;
    default:
        return false;
    }
}

void Instrument::pressKey(std::uint8_t key, Clock::time_point now) {
    keyPresses.push_back(key);
    keyHeld = key;
    switch (key) {
    case kKeyT:
        tareOffset = measuredValue(now) - zeroOffset;
        tared = true;
        break;
    case kKeyZero:
        zeroOffset = measuredValue(now);
        tareOffset = 0.0;
        tared = false;
        zeroed = true;
        break;
    case kKeyF1:
        view = nextView(view);
        break;
    case kKeyF2:
        view = previousView(view);
        break;
    default:
        break;
    }
}

void Instrument::setDigitalOut(std::uint8_t parameter) {
    switch (parameter) {
    case kOutputOn:
    case kOutputOff:
        digitalOut = parameter == kOutputOn;
        digitalOutRemote = true;
        break;
    case kOutputReleased:
        digitalOut = false;
        digitalOutRemote = false;
        break;
    default:
        break;
    }
}

void Instrument::command254(std::uint8_t parameter) {
    if (flash.expectsPageIndex()) {
        flash.namePage(parameter);
    } else if (parameter == kPrepareFlash) {
        flash.prepare();
    } else {
        mode = parameter;
    }
}

void Instrument::command255(std::uint8_t parameter) {
    switch (parameter) {
    case kKeyReleased:
        keyHeld = 0;
        ++keyReleases;
        break;
    case kLockKeyboard:
    case kUnlockKeyboard:
        keyboardLocked = parameter == kLockKeyboard;
        break;
    case kApplySetValue:
        appliedSetValue = setValue;
        break;
    case kRestart:
        restart();
        break;
    case kOpenBufferLarge:
        flash.openBuffer();
        break;
    case kBurnPage:
        flash.burn(faults.failingPages);
        break;
    default:
        break;
    }
}

void Instrument::restart() {
    ++restartCount;
    tared = false;
    zeroed = false;
    tareOffset = 0.0;
    zeroOffset = 0.0;
    view = DisplayView::Reading;
    keyHeld = 0;
    flash.abort();
}

} // namespace zorvan::sim
