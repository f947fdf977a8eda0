#pragma once
// A real MainWindow over settings in a fresh folder and a job starter that only records.
#include <memory>

#include <QApplication>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/ui_core/recording_job_starter.h"
#include "ui/core/settings_file.h"
#include "ui/qt/main_window.h"

struct WindowTest : ::testing::Test {
    testsupport::TempDir tmp;
    SettingsFile settings{SettingsFile::Places{tmp.path(), {}, [](const std::filesystem::path&) { return true; }}};
    RecordingJobStarter jobs;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(jobs, settings);

    template <class W = QWidget>
    W* find(const char* name) const {
        W* w = window->findChild<W*>(QString::fromUtf8(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Lets queued tasks (status texts, walk steps) run.
    static void settle() {
        for (int i = 0; i < 50; ++i) QApplication::processEvents();
    }
};
