#include "ui/qt/screenshot.h"

#include <QDir>
#include <QPixmap>

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
    window.pageControl()->setCurrentIndex(current);
    return error;
}
