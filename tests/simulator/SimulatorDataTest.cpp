// SPDX-License-Identifier: GPL-3.0-or-later
// Data packets of the simulated instrument.
#include "SimLink.h"

#include <gtest/gtest.h>
