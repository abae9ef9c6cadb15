// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace kx::app {

class ScopeSession;

// The calibration dialogs, wired to the session's calibration controller; modal.
void showZeroCalibrate(QWidget* parent, ScopeSession& s);
void showZeroCalibrateM(QWidget* parent, ScopeSession& s);
void showFreqCalibration(QWidget* parent, ScopeSession& s);
void showSystemCalibration(QWidget* parent, ScopeSession& s);

} // namespace kx::app
