// The "结果" column of 超级列表框_文件: in sight without scrolling in the fixed window, failed
// rows in their own fill, and the whole path and result in the tooltip.
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>

#include "tests/ui_qt/window_fixture.h"
#include "ui/qt/window_style.h"

namespace {

const std::string kLongPath = "/home/用户/下载/某个很长的目录名称/又一层很长的子目录/第二季/字幕与花絮合集/示例00005.part1.rar";
const std::string kLongResult = "删除失败：压缩包已损坏，无法读取第3个文件的头部（文件已被截断，请重新下载该压缩包）";

std::vector<ListRow> manyRows() {
    std::vector<ListRow> rows;
    for (int i = 0; i < 40; ++i) {
        const std::string number = std::to_string(i + 1);
        rows.emplace_back(number, kLongPath + number, i == 1 ? "删除失败" : "已删除 2 个文件", i == 1);
    }
    rows[3] = ListRow{"4", kLongPath, kLongResult, true};
    return rows;
}

TEST_F(WindowTest, TheResultColumnIsInSightWithoutScrollingInTheFixedWindow) {
    window->show();
    settle();
    auto* list = find<QTableView>("超级列表框_文件");
    window->setRows(Control::超级列表框_文件, manyRows());
    settle();
    // Enough rows for a vertical scroll bar, which takes its width from the rows' area.
    ASSERT_TRUE(list->verticalScrollBar()->isVisible());
    QHeaderView* header = list->horizontalHeader();
    EXPECT_EQ(header->sectionViewportPosition(2), 40 + 260);
    EXPECT_LE(header->sectionViewportPosition(2) + header->sectionSize(2), list->viewport()->width());
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_EQ(list->model()->index(3, 2).data().toString(), QString::fromStdString(kLongResult));
}

TEST_F(WindowTest, FailedRowsHaveTheirOwnFill) {
    window->show();
    settle();
    auto* list = find<QTableView>("超级列表框_文件");
    window->setRows(Control::超级列表框_文件, manyRows());
    settle();
    const QImage shot = list->viewport()->grab().toImage();
    auto fillOf = [&](int row, int column) {
        // The right end of the cell, clear of its text and of the grid line.
        const QRect cell = list->visualRect(list->model()->index(row, column));
        return QColor(shot.pixel(cell.right() - 4, cell.center().y()));
    };
    for (int column : {0, 1, 2}) {
        SCOPED_TRACE(column);
        EXPECT_EQ(fillOf(0, column), style::kBlue);
        EXPECT_EQ(fillOf(1, column), style::kFailedRowFill);
        EXPECT_EQ(fillOf(2, column), style::kBlue);
    }
    // A later job that goes well takes the mark off again.
    window->updateRows(Control::超级列表框_文件, 1, {ListRow{"2", kLongPath, "没有要删除的文件", false}});
    settle();
    const QImage after = list->viewport()->grab().toImage();
    const QRect cell = list->visualRect(list->model()->index(1, 2));
    EXPECT_EQ(QColor(after.pixel(cell.right() - 4, cell.center().y())), style::kBlue);
}

TEST_F(WindowTest, TheTooltipHoldsTheWholePathAndResult) {
    window->show();
    settle();
    auto* list = find<QTableView>("超级列表框_文件");
    window->setRows(Control::超级列表框_文件, manyRows());
    settle();
    const QString whole = QString::fromStdString(kLongPath + "\n" + kLongResult);
    for (int column : {0, 1, 2}) EXPECT_EQ(list->model()->index(3, column).data(Qt::ToolTipRole).toString(), whole);

    // What the pointer resting over the result cell brings up.
    const QPoint at = list->visualRect(list->model()->index(3, 2)).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), whole);
    QToolTip::hideText();

    // A row without a result yet shows its path alone.
    window->setRows(Control::超级列表框_文件, {ListRow{"1", kLongPath}});
    EXPECT_EQ(list->model()->index(0, 2).data(Qt::ToolTipRole).toString(), QString::fromStdString(kLongPath));
}

}  // namespace
