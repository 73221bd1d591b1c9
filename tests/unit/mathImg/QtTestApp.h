#pragma once
// One QApplication for a test program, on the offscreen platform unless the
// test is run with another one (QT_QPA_PLATFORM).
#include <QApplication>
#include <QStyleFactory>

#include <gtest/gtest.h>

namespace zeltest {

class TQtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zel-test";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

inline const bool kQtEnvironmentRegistered = (::testing::AddGlobalTestEnvironment(new TQtTestEnvironment), true);

}  // namespace zeltest
