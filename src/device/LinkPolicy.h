// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/PacketParser.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"

#include <atomic>

namespace kx::device {

class RegisterImageHolder;

// What the acquisition thread makes of what the parser saw: every status packet goes on the
// status board, its calibration tables only while neither a table upload (pending, or sent and
// not yet answered) nor a calibration run owns them, the counter only while configured and running, the AWG
// state only while configured; a ready report raises DeviceReady once its fields are on the board; data are
// taken only while running.
class LinkPolicy : public ParserReports {
public:
    LinkPolicy(RequestFlags& flags, StatusBoard& status, const RegisterImageHolder* registers = nullptr)
        : m_flags(flags), m_status(status), m_registers(registers) {}

    void statusDecoded(const StatusPacket& packet) override;
    bool dataArrived() override { return m_flags.Running.load() && !m_shotComplete.load(); }

    // A single shot is complete: nothing more is taken until the GUI has published the state
    // that follows (the run bit has one writer, apply-settings in the GUI thread).
    void holdAfterShot() { m_shotComplete.store(true); }
    void releaseShot() { m_shotComplete.store(false); }

private:
    std::atomic<bool> m_shotComplete{false};
    RequestFlags& m_flags;
    StatusBoard& m_status;
    const RegisterImageHolder* m_registers;
};

} // namespace kx::device
