#pragma once

// The accounts tests use the shared program-run fixture.

#include "support/ProgramRun.h"

namespace AccountsTest {
using namespace TestSupport;
} // namespace AccountsTest
