// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::sim {

// What is connected to the inputs.
class Bench {
public:
};

} // namespace kx::sim
