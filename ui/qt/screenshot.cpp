#include "ui/qt/screenshot.h"

#include <QDir>
#include <QPixmap>

#include "ui/core/example_results.h"
#include "ui/qt/main_window.h"
#include "ui/qt/page_control.h"

QString saveScreenshots(MainWindow& window, const QString& directory) {
    if (!QDir().mkpath(directory)) return QStringLiteral("cannot create the folder ") + directory;
    window.ensurePolished();
    const int current = window.pageControl()->currentIndex();
    QString error;
    for (int i = 0; i < window.pageControl()->count() && error.isEmpty(); ++i) {
        window.pageControl()->setCurrentIndex(i);
        const QString file = QDir(directory).filePath(QStringLiteral("page-%1.png").arg(i + 1));
        if (!window.grab().save(file, "PNG")) error = QStringLiteral("cannot write ") + file;
    }
    if (error.isEmpty() && window.presenter().archives().count() == 0) {
        // The first page again, its list showing what a clean job did with each archive;
        // an empty list only, so that no row of the user's is hidden behind the examples.
        window.pageControl()->setCurrentIndex(0);
        window.setRows(Control::超级列表框_文件, exampleResultRows("/home/用户/下载/"));
        const QString file = QDir(directory).filePath(QStringLiteral("results.png"));
        if (!window.grab().save(file, "PNG")) error = QStringLiteral("cannot write ") + file;
        window.setRows(Control::超级列表框_文件, {});
    }
    window.pageControl()->setCurrentIndex(current);
    return error;
}
