#include "ui/qt/screenshot.h"

#include <QImage>
#include <QTableView>

#include "tests/ui_qt/window_fixture.h"
#include "ui/qt/page_control.h"
#include "ui/qt/window_style.h"

namespace {

TEST_F(WindowTest, ScreenshotsShowEachPageAndLeaveTheCurrentOne) {
    window->pageControl()->setCurrentIndex(1);
    const QString dir = QString::fromStdString((tmp.path() / "shots").string());
    ASSERT_EQ(saveScreenshots(*window, dir), QString());
    EXPECT_EQ(window->pageControl()->currentIndex(), 1);
    QImage pages[4];
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(pages[i].load(dir + QStringLiteral("/page-%1.png").arg(i + 1))) << i;
        EXPECT_EQ(pages[i].size(), MainWindow::kClientSize * window->devicePixelRatio());
        EXPECT_EQ(QColor(pages[i].pixel(3, 3)), style::kSkyBlue);
    }
    // Page 1 shows the yellow path box, page 3 the blue delete list where page 1 has none.
    EXPECT_EQ(QColor(pages[0].pixel(7 + 150, 8 + 40)), style::kYellow);
    EXPECT_EQ(QColor(pages[2].pixel(7 + 100, 8 + 200)), style::kBlue);
    EXPECT_NE(pages[0], pages[1]);
    // The results picture: the first page with rows, the failed ones in their own fill,
    // and the list is empty again afterwards.
    QImage results;
    ASSERT_TRUE(results.load(dir + QStringLiteral("/results.png")));
    bool failedFill = false;
    for (int y = 61 + 8; y < 61 + 8 + 310 && !failedFill; ++y) failedFill = QColor(results.pixel(7 + 10 + 2 + 300 + 200, y)) == style::kFailedRowFill;
    EXPECT_TRUE(failedFill);
    EXPECT_EQ(find<QTableView>("超级列表框_文件")->model()->rowCount(), 0);
    EXPECT_NE(pages[2], pages[3]);
    tmp.write("file.txt", "");
    EXPECT_NE(saveScreenshots(*window, QString::fromStdString((tmp.path() / "file.txt").string() + "/x")), QString());
}

}  // namespace
