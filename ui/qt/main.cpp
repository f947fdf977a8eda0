// pimingbao: the window. `--screenshot DIR` renders every page to DIR/page-N.png and exits;
// `--write-icon FILE` writes the window's icon as a Windows .ico file and exits.
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "archiver/driver/working_directory.h"
#include "ui/core/job_starter.h"
#include "ui/core/settings_file.h"
#include "ui/core/worker_job_starter.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_translations.h"
#include "ui/qt/screenshot.h"

namespace {

// The value after `option` on the command line, or null.
const char* optionValue(int argc, char** argv, const char* option) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) return argv[i + 1];
    }
    return nullptr;
}

int writeIcon(const char* file) {
    QFile out(QString::fromLocal8Bit(file));
    if (!out.open(QIODevice::WriteOnly) || out.write(icoFile(iconImages())) < 0) {
        std::fprintf(stderr, "pimingbao: cannot write %s\n", file);
        return 1;
    }
    return 0;
}

int screenshots(const char* dir) {
    // Pictures of the window as it opens: settings from an empty folder, saved nowhere kept.
    QTemporaryDir scratch;
    SettingsFile settings(SettingsFile::Places{scratch.path().toStdString(), {}, {}});
    IdleJobStarter jobs;
    MainWindow window(jobs, settings);
    const QString error = saveScreenshots(window, QString::fromLocal8Bit(dir));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "pimingbao: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* screenshotDir = optionValue(argc, argv, "--screenshot");
    const char* iconFile = optionValue(argc, argv, "--write-icon");
    // Neither needs a display.
    if ((screenshotDir || iconFile) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Without the translation package Qt's dialogs stay in English; the program works on.
    installQtChineseTranslations(app);
    if (iconFile) return writeIcon(iconFile);
    if (screenshotDir) return screenshots(screenshotDir);

    // The archiver and its exchange files live in the working directory, chosen once here.
    WorkerJobStarter jobs(WorkerJobStarter::archiverSessions(enterWorkingDirectory()));
    const SettingsFile settings = SettingsFile::forThisProgram();
    MainWindow window(jobs, settings);
    window.show();
    return app.exec();
}
