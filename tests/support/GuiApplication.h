#pragma once
// For tests that draw text or use windows: the shared test main makes the one
// application object (and with it the window system's) before any test runs.
#include <gtest/gtest.h>

#include "platform/Application.h"

inline void EnsureGuiApplication()
{
    ASSERT_NE(Application, nullptr) << "tests run under tests/support/test_main.cpp";
}
