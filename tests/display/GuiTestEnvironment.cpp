// Text drawing needs a GUI application object and the tray icon's form a widget one; the
// tests share one, created before the first test runs (the offscreen platform is chosen
// by the test environment).

#include <QApplication>

#include <gtest/gtest.h>
#include <memory>

namespace {

class GuiApplicationEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "sarvendo_display_tests";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment); // NOLINT: gtest takes ownership

} // namespace
