// SPDX-License-Identifier: GPL-3.0-or-later
// Placeholder until this unit is written.
namespace kx::generator {}
