// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <gtest/gtest.h>
#include <memory>

namespace {

// Widget and drawing tests need one application object for the whole test program;
// GoogleTest's own main makes none, so this environment does, before the first test. A
// test program gets it by saying GUI to sarvendo_test (tests/CMakeLists.txt).
class QtApplicationEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "sarvendo-tests";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

// GoogleTest owns registered environments and deletes them at exit.
[[maybe_unused]] const ::testing::Environment* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment); // NOLINT(cppcoreguidelines-owning-memory)

} // namespace
