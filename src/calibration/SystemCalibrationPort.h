// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/FreqTableRun.h"
#include "calibration/SystemMeasurement.h"
#include "calibration/SystemTexts.h"

#include <cstddef>
#include <cstdint>

namespace kx::calibration {

// What the system calibration dialog asks of the program while it is open.
class SystemCalibrationPort {
public:
    virtual ~SystemCalibrationPort() = default;

    // The instrument was ready when the dialog opened: OK and the measurement depend on it.
    [[nodiscard]] virtual bool systemMeasures() const = 0;
    virtual void setSystemMode(int mode) = 0;
    [[nodiscard]] virtual int systemMode() const = 0;
    [[nodiscard]] virtual int autoAdcCountdown() const = 0;
    virtual void focusGeneratorPoint(int point) = 0;
    virtual void focusTuningPoint(int point) = 0;
    virtual void setTuningCode(std::uint16_t code) = 0;
    virtual void tuneToZeroPpm() = 0;
    [[nodiscard]] virtual std::uint16_t tuningCode() const = 0;
    virtual void setDigitalThreshold(std::int32_t microVolts) = 0;
    [[nodiscard]] virtual std::int32_t digitalThreshold() const = 0;
    virtual void setSystemByte(std::size_t at, std::uint8_t value) = 0;
    virtual void setSystemWord(std::size_t at, std::int32_t value) = 0;
    [[nodiscard]] virtual const SystemResults& systemResults() const = 0;
    [[nodiscard]] virtual CounterWords counterWords() const = 0;
    virtual FreqTableRun::Step systemTick() = 0;
    [[nodiscard]] virtual int freqTableProgress(int max) const = 0;
    [[nodiscard]] virtual double systemExpected() const = 0;
    virtual void systemAccept() = 0;
};

} // namespace kx::calibration
