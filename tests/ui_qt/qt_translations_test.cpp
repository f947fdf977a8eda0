// Qt's own dialog texts in Chinese where Debian's translation package is there, and
// quietly English where it is not.
#include "ui/qt/qt_translations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTranslator>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

// A text of Qt's folder dialog.
QString lookIn() { return QCoreApplication::translate("QFileDialog", "Look in:"); }

TEST(QtTranslations, QtsOwnDialogTextsAreChinese) {
    const QStringList folders = qtTranslationFolders();
    bool present = false;
    for (const QString& f : folders) present = present || QFile::exists(QDir(f).filePath("qtbase_zh_CN.qm"));
    if (!present) GTEST_SKIP() << "Qt's Chinese translations are not installed";
    QTranslator* installed = installQtChineseTranslations(*QCoreApplication::instance(), folders);
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(lookIn(), QString::fromUtf8("查找范围："));
    // The other tests see Qt as it starts.
    QCoreApplication::removeTranslator(installed);
    delete installed;
    EXPECT_EQ(lookIn(), QStringLiteral("Look in:"));
}

TEST(QtTranslations, WithoutThemQtKeepsItsEnglishTexts) {
    testsupport::TempDir empty;
    EXPECT_EQ(nullptr, installQtChineseTranslations(*QCoreApplication::instance(),
                                              {QString::fromStdString(empty.path().string()), QStringLiteral("/nonexistent")}));
}

}  // namespace
