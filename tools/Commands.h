// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Each subcommand takes the arguments after its name and returns the exit status.
namespace kx::tool {

int cmdFrame(int argc, char** argv);
int cmdSettings(int argc, char** argv);
int cmdProbe(int argc, char** argv);
int cmdCapture(int argc, char** argv);
int cmdInfo(int argc, char** argv);
int cmdAwg(int argc, char** argv);
int cmdDecode(int argc, char** argv);
int cmdSpectrum(int argc, char** argv);
int cmdExport(int argc, char** argv);
int cmdRecord(int argc, char** argv);
int cmdAnalyze(int argc, char** argv);
int cmdSoak(int argc, char** argv);
int cmdCalibrate(int argc, char** argv);

// For subcommands that this build does not carry yet.
int notAvailable(const char* name);

} // namespace kx::tool
