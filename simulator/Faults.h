// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::sim {

// Faults that tests switch on at run time; all off on a healthy bench.
struct Faults {
    bool powerFailed = false;    // the instrument's supply is gone: no packets at all
    bool flashFailed = false;    // status byte 3 set
    bool refuseReady = false;    // the FPGA never reports done after an image
    int dropAcks = 0;            // acknowledgements still to swallow; negative swallows all
    double bitErrorRate = 0.0;   // per byte, instrument to host
    double bitErrorRateIn = 0.0; // per byte, host to instrument
    int supplyMv = 5000;
};

} // namespace kx::sim
