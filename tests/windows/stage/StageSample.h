#pragma once

#include "windows/stage/SampleDesk.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace helm::test {

// The fonts and the view need an application. It goes at the end of the test run, before the
// statics: deleted later, with the bundled fonts registered, it would touch a gone font cache.
struct AppEnvironment : ::testing::Environment {
    QApplication* app = nullptr;
    void TearDown() override { delete app; }
};

inline void guiApp() {
    static int argc = 1;
    static char name[] = "stage_tests";
    static char* argv[] = {name, nullptr};
    static AppEnvironment* env = nullptr;
    if (env == nullptr) {
        env = new AppEnvironment;
        env->app = new QApplication(argc, argv);
        ::testing::AddGlobalTestEnvironment(env);
    }
}

using helm::sampleDesk;

} // namespace helm::test
