// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace kx::device {

// The requests and states that pass between the GUI thread and the acquisition thread. One
// object, owned by the main window; each flag has a single clearer.
struct RequestFlags {
    std::atomic<bool> RedrawRequest{false};
    std::atomic<bool> StatusRequest{false};
    std::atomic<bool> SendSettingsRequest{false};
    std::atomic<bool> AwgUploadRequest{false};
    std::atomic<bool> ReconfigureRequest{false};
    std::atomic<bool> FadeRestartRequest{false};
    std::atomic<bool> DeviceReady{false};
    std::atomic<bool> DeviceConfigured{false};
    std::atomic<bool> Running{false};
    std::atomic<bool> SingleMode{false};
    // A zero or system calibration run owns the tables: status packets must not replace them.
    std::atomic<bool> CalibrationRunPending{false};
    // Raised by every status packet that is not an acknowledgement (activity indicator).
    std::atomic<bool> StatusActivity{false};
};

} // namespace kx::device
