// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ScriptedPrompt.h"

// Keeps every message box it is asked to show; file dialogs are always cancelled.
using RecordingPrompt = kx::testing::ScriptedPrompt;
