// SPDX-License-Identifier: GPL-3.0-or-later
#include "Acquisition.h"

#include "Instrument.h"

namespace kx::sim {

Acquisition::Acquisition(std::uint64_t seed) {
    reseed(seed);
}
void Acquisition::reseed(std::uint64_t) {}
void Acquisition::reset() {
    m_running = false;
}
void Acquisition::configure(const RegisterFile& registers, std::int64_t) {
    m_registers = registers;
    m_running = (registers[reg::kRunFlags] & 1) != 0;
}
std::int64_t Acquisition::nextDue() const {
    return kNever;
}
bool Acquisition::build(std::int64_t, std::vector<std::uint8_t>&) {
    return false;
}
CounterReading Acquisition::counter(const RegisterFile&, std::int64_t) const {
    return {};
}

} // namespace kx::sim
