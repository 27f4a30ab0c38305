#include "QtApp.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace helm {

namespace {

QApplication* app = nullptr;

struct QtEnvironment : ::testing::Environment {
    void TearDown() override {
        delete app;
        app = nullptr;
    }
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "menu_tests";
    static char* argv[] = {name, nullptr};
    if (app == nullptr) {
        app = new QApplication(argc, argv);
    }
    return *app;
}

} // namespace helm
