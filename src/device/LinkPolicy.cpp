// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/LinkPolicy.h"

#include "device/RegisterImage.h"

namespace kx::device {

void LinkPolicy::statusDecoded(const StatusPacket& p) {
    if (p.kind != status::kKindAcknowledgement) m_flags.StatusActivity.store(true);
    const bool tablesFree =
        !m_flags.CalibrationRunPending.load() && (m_registers == nullptr || !m_registers->tablesBusy());
    const bool configured = m_flags.DeviceConfigured.load();
    const bool running = m_flags.Running.load();
    m_status.update([&](StatusInfo& st) {
        ++st.packets;
        st.lastKind = p.kind;
        st.firmwareVersion = p.firmwareVersion;
        st.fpgaVersion = p.fpgaVersion;
        st.flashFailure = p.flashFailure;
        st.deviceType = p.deviceType;
        st.flashHash = p.flashHash;
        st.serial = p.serial;
        st.flags = p.flags;
        st.pin = (p.flags & status::kFlagPin) != 0;
        if (tablesFree) {
            if (p.zeroTableValid) {
                st.zeroTable = p.zeroTable;
                st.zeroTableRead = true;
                ++st.zeroTableUpdates;
            }
            if (p.systemTableValid) {
                st.systemTable = p.systemTable;
                st.systemTableRead = true;
                ++st.systemTableUpdates;
            }
        }
        st.supplyRaw = p.supplyRaw;
        st.supplyMillivolts = p.supplyMillivolts;
        st.powerOnCounter = p.powerOnCounter;
        if (configured) {
            if (running) {
                st.counterState = p.counterState;
                st.counterEdges = p.counterEdges;
                st.counterTicks = p.counterTicks;
                ++st.counterUpdates;
            }
            st.awgState = p.flags & status::kFlagAwgStateMask;
            st.awgStateKnown = true;
        }
    });
    // Ready only once the packet's fields are in: the supervision reads the supply and the tables
    // of a ready instrument and must not see the empty ones.
    if (p.kind == status::kKindReady) m_flags.DeviceReady.store(true);
    m_flags.StatusRequest.store(true);
}

} // namespace kx::device
