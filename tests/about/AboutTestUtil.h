#pragma once

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace vpx::test {

} // namespace vpx::test
