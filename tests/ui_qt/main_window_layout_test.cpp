// The window as it opens: geometry, kinds, captions, initial states, colours, fonts and
// Tab order of every control.
#include <QAbstractButton>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>

#include "tests/ui_qt/window_fixture.h"
#include "ui/core/window_texts.h"
#include "ui/qt/coloured_tab_bar.h"
#include "ui/qt/page_control.h"
#include "ui/qt/window_style.h"

namespace {

enum class Kind { PageControl, Label, EditBox, MultiLineEdit, Button, RadioBox, GroupBox, ListView };

struct Row {
    const char* name;
    Kind kind;
    int page;             // 0: directly on the window
    const char* parent;   // a group box, or null
    int left, top, width, height;
    const char* caption;  // null: not a captioned control
};

// The window layout, one row per control; positions are measured from the parent: the
// window's client area, the tab control for a page's controls, or the group box.
const Row kLayout[] = {
    {"高级选择夹1", Kind::PageControl, 0, nullptr, 7, 8, 560, 380, nullptr},
    {"标签_状态", Kind::Label, 0, nullptr, 13, 398, 243, 18, ""},
    {"标签1", Kind::Label, 1, nullptr, 10, 33, 32, 20, "目录："},
    {"编辑框_路径", Kind::EditBox, 1, nullptr, 47, 33, 260, 20, ""},
    {"按钮_浏览", Kind::Button, 1, nullptr, 312, 33, 55, 20, "浏览..."},
    {"按钮_添加", Kind::Button, 1, nullptr, 372, 33, 55, 20, "添加"},
    {"按钮_删除", Kind::Button, 1, nullptr, 432, 33, 55, 20, "删除"},
    {"按钮_清空", Kind::Button, 1, nullptr, 495, 33, 55, 20, "清空"},
    {"超级列表框_文件", Kind::ListView, 1, nullptr, 10, 61, 540, 310, nullptr},
    {"单选框_按后缀", Kind::RadioBox, 2, nullptr, 16, 39, 56, 20, "按后缀"},
    {"分组框1", Kind::GroupBox, 2, nullptr, 78, 25, 112, 40, nullptr},
    {"标签4", Kind::Label, 2, "分组框1", 8, 13, 34, 20, "后缀："},
    {"编辑框_后缀", Kind::EditBox, 2, "分组框1", 49, 13, 55, 20, ""},
    {"单选框_按序号", Kind::RadioBox, 2, nullptr, 196, 39, 56, 20, "按序号"},
    {"分组框2", Kind::GroupBox, 2, nullptr, 258, 25, 222, 40, nullptr},
    {"标签2", Kind::Label, 2, "分组框2", 8, 13, 34, 20, "前缀："},
    {"编辑框_前缀", Kind::EditBox, 2, "分组框2", 46, 13, 40, 20, ""},
    {"标签5", Kind::Label, 2, "分组框2", 90, 13, 60, 20, "起始序号："},
    {"编辑框_序号", Kind::EditBox, 2, "分组框2", 154, 13, 60, 20, ""},
    {"按钮2", Kind::Button, 2, nullptr, 494, 39, 56, 20, "开始更名"},
    {"超级列表框_更名", Kind::ListView, 2, nullptr, 10, 72, 540, 297, nullptr},
    {"标签6", Kind::Label, 3, nullptr, 10, 30, 168, 20, "需要删除的文件名(每行一个)："},
    {"按钮_删除指定文件", Kind::Button, 3, nullptr, 496, 30, 56, 20, "开始删除"},
    {"编辑框1", Kind::MultiLineEdit, 3, nullptr, 10, 55, 540, 315, ""},
    {"标签3", Kind::Label, 4, nullptr, 9, 33, 540, 335, nullptr},
};

bool isKind(QWidget* w, Kind kind) {
    switch (kind) {
    case Kind::PageControl: return qobject_cast<PageControl*>(w) != nullptr;
    case Kind::Label: return qobject_cast<QLabel*>(w) != nullptr;
    case Kind::EditBox: return qobject_cast<QLineEdit*>(w) != nullptr;
    case Kind::MultiLineEdit: return qobject_cast<QPlainTextEdit*>(w) != nullptr;
    case Kind::Button: return qobject_cast<QPushButton*>(w) != nullptr;
    case Kind::RadioBox: return qobject_cast<QRadioButton*>(w) != nullptr;
    case Kind::GroupBox: return qobject_cast<QGroupBox*>(w) != nullptr;
    case Kind::ListView: return qobject_cast<QTableView*>(w) != nullptr;
    }
    return false;
}

QString captionOf(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return p->toPlainText();
    return {};
}

TEST_F(WindowTest, EveryControlHasItsKindPlaceSizeAndCaption) {
    PageControl* pages = window->pageControl();
    for (const Row& row : kLayout) {
        SCOPED_TRACE(row.name);
        QWidget* w = find(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(isKind(w, row.kind));
        QWidget* reference = row.parent ? find(row.parent) : row.page == 0 ? static_cast<QWidget*>(window.get()) : pages;
        if (row.parent) {
            EXPECT_EQ(w->parentWidget(), reference);
        }
        EXPECT_TRUE(reference->isAncestorOf(w));
        EXPECT_EQ(w->mapTo(reference, QPoint(0, 0)), QPoint(row.left, row.top));
        EXPECT_EQ(w->size(), QSize(row.width, row.height));
        if (row.page == 0) {
            EXPECT_EQ(w->parentWidget(), window.get());
        } else {
            for (int p = 0; p < pages->count(); ++p) EXPECT_EQ(pages->page(p)->isAncestorOf(w), p == row.page - 1) << p;
        }
        if (row.caption) {
            EXPECT_EQ(captionOf(w), QString::fromUtf8(row.caption));
        }
    }
}

TEST_F(WindowTest, TheWindowHasItsTitleFixedSizeAndButtonsAndOpensCentred) {
    EXPECT_TRUE(window->windowTitle().startsWith(QString::fromUtf8("星禾批名宝 V3.1 ")));
    EXPECT_EQ(window->minimumSize(), MainWindow::kClientSize);
    EXPECT_EQ(window->maximumSize(), MainWindow::kClientSize);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::MSWindowsFixedSizeDialogHint);
    const QRect screen = window->screen()->geometry();
    EXPECT_EQ(window->pos(), QPoint(screen.x() + (screen.width() - 581) / 2, screen.y() + (screen.height() - 453) / 2));
    EXPECT_FALSE(window->windowIcon().isNull());
    // Everything the controls cover fits in the client area.
    QRect covered;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) covered |= child->geometry();
    EXPECT_TRUE(QRect(QPoint(0, 0), MainWindow::kContentSize).contains(covered));
}

TEST_F(WindowTest, OpensOnTheFirstPageWithThreeControlsDisabled) {
    PageControl* pages = window->pageControl();
    EXPECT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->currentIndex(), 0);
    const char* titles[] = {"文件列表", "文件更名", "删除文件", "软件说明"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pages->tabBar()->tabText(i), QString::fromUtf8(titles[i]));
        EXPECT_EQ(pages->page(i)->isHidden(), i != 0) << i;
    }
    for (const Row& row : kLayout) {
        const std::string name = row.name;
        const bool disabled = name == "按钮_删除" || name == "标签5" || name == "编辑框_序号";
        EXPECT_EQ(find(row.name)->isEnabled(), !disabled) << row.name;
        EXPECT_FALSE(find(row.name)->isHidden()) << row.name;
    }
    EXPECT_TRUE(find<QRadioButton>("单选框_按后缀")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("单选框_按序号")->isChecked());
    for (const char* list : {"超级列表框_文件", "超级列表框_更名"}) {
        auto* view = find<QTableView>(list);
        EXPECT_EQ(view->model()->rowCount(), 0);
        EXPECT_FALSE(view->selectionModel()->hasSelection());
    }
    for (const char* edit : {"编辑框_路径", "编辑框_后缀", "编辑框_前缀", "编辑框_序号"}) {
        EXPECT_GE(find<QLineEdit>(edit)->maxLength(), 1 << 30) << edit;
    }
    EXPECT_EQ(find<QLabel>("标签_状态")->text(), "");
    EXPECT_FALSE(find<QLabel>("标签_状态")->wordWrap());
    for (const char* button : {"按钮_添加", "按钮_清空", "按钮_删除", "按钮_浏览", "按钮2", "按钮_删除指定文件"}) {
        EXPECT_FALSE(find<QPushButton>(button)->isDefault()) << button;
        EXPECT_FALSE(find<QPushButton>(button)->autoDefault()) << button;
    }
}

TEST_F(WindowTest, ColoursAreTheFixedOnes) {
    using style::kBlue;
    using style::kMagenta;
    using style::kSkyBlue;
    using style::kYellow;
    EXPECT_EQ(window->palette().color(QPalette::Window), kSkyBlue);
    EXPECT_TRUE(window->autoFillBackground());
    for (const char* name : {"标签1", "标签2", "标签3", "标签4", "标签6", "标签_状态", "单选框_按后缀", "单选框_按序号"}) {
        EXPECT_EQ(find(name)->palette().color(QPalette::Active, QPalette::WindowText), kYellow) << name;
        EXPECT_EQ(find(name)->palette().color(QPalette::Window), kSkyBlue) << name;
    }
    EXPECT_EQ(find("标签5")->palette().color(QPalette::Disabled, QPalette::WindowText), style::kGrey);
    // The delete list's selection does not show while it lacks the focus.
    EXPECT_EQ(find("编辑框1")->palette().color(QPalette::Inactive, QPalette::Highlight), kBlue);
    struct Box {
        const char* name;
        QColor text;
        QColor fill;
    };
    const Box boxes[] = {{"编辑框_路径", kBlue, kYellow},     {"编辑框_后缀", kBlue, kYellow}, {"编辑框_前缀", kBlue, kYellow},
                         {"编辑框_序号", kBlue, kYellow},     {"编辑框1", kMagenta, kBlue},    {"超级列表框_文件", kYellow, kBlue},
                         {"超级列表框_更名", kYellow, kBlue}};
    for (const Box& b : boxes) {
        EXPECT_EQ(find(b.name)->palette().color(QPalette::Active, QPalette::Text), b.text) << b.name;
        EXPECT_EQ(find(b.name)->palette().color(QPalette::Base), b.fill) << b.name;
    }
    // What is drawn: the window's fill and the path box's fill.
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(3, 420)), kSkyBlue);
    QWidget* path = find("编辑框_路径");
    EXPECT_EQ(QColor(shot.pixel(path->mapTo(window.get(), QPoint(path->width() / 2, path->height() / 2)))), kYellow);
}

TEST_F(WindowTest, OnlyTheTabTitlesAndTheDeleteListHaveFontsOfTheirOwn) {
    QFont tab = window->pageControl()->tabBar()->font();
    EXPECT_EQ(tab.family(), "SimSun");
    EXPECT_EQ(tab.pixelSize(), 12);
    EXPECT_EQ(tab.weight(), QFont::Normal);
    QFont list = find("编辑框1")->font();
    EXPECT_EQ(list.pixelSize(), 14);
    EXPECT_EQ(list.weight(), QFont::Normal);
    for (const char* name : {"按钮_添加", "标签3", "编辑框_路径", "超级列表框_文件", "单选框_按后缀", "标签_状态"}) {
        EXPECT_EQ(find(name)->font(), window->font()) << name;
    }
}

// The next control that Tab reaches from `w`, following the focus chain.
QWidget* nextTabStop(QWidget* w) {
    for (QWidget* n = w->nextInFocusChain(); n != w; n = n->nextInFocusChain()) {
        if ((n->focusPolicy() & Qt::TabFocus) && !n->objectName().isEmpty()) return n;
    }
    return nullptr;
}

TEST_F(WindowTest, TabFollowsThePageTablesOrder) {
    const std::vector<std::vector<const char*>> orders = {
        {"按钮_添加", "按钮_清空", "按钮_删除", "编辑框_路径", "按钮_浏览", "超级列表框_文件"},
        {"编辑框_前缀", "编辑框_序号", "单选框_按序号", "单选框_按后缀", "按钮2", "编辑框_后缀", "超级列表框_更名"},
        {"按钮_删除指定文件", "编辑框1"},
    };
    for (const auto& order : orders) {
        for (std::size_t i = 0; i + 1 < order.size(); ++i) {
            QWidget* next = nextTabStop(find(order[i]));
            ASSERT_NE(next, nullptr) << order[i];
            EXPECT_EQ(next->objectName(), QString::fromUtf8(order[i + 1])) << "after " << order[i];
        }
    }
    for (const char* name : {"标签1", "标签2", "标签3", "标签4", "标签5", "标签6", "标签_状态", "分组框1", "分组框2", "高级选择夹1"}) {
        EXPECT_EQ(find(name)->focusPolicy(), Qt::NoFocus) << name;
    }
    EXPECT_EQ(window->pageControl()->tabBar()->focusPolicy(), Qt::NoFocus);
}

TEST_F(WindowTest, TheHelpTextHasItsTwentyLinesAndWraps) {
    auto* help = find<QLabel>("标签3");
    const QStringList lines = help->text().split(QChar(u'\n'));
    EXPECT_EQ(lines.size(), 20);
    EXPECT_EQ(lines.first(), QString::fromUtf8("软件功能及示例说明："));
    EXPECT_EQ(lines[3], QString::fromUtf8("   1）按压缩包内指定后缀的文件名 更换RAR名称"));
    EXPECT_EQ(lines[9], QString::fromUtf8("       例： 设置前缀为 “示例”，起始序号为：00005"));
    EXPECT_EQ(lines.last(), QString::fromUtf8("*注：需要提前在【文件列表】选项卡中添加需要操作的RAR文件。"));
    EXPECT_TRUE(help->wordWrap());
    EXPECT_EQ(help->textFormat(), Qt::PlainText);
    // All of it shows in the label's height.
    EXPECT_LE(help->heightForWidth(help->width()), help->height());
    // Read through the view, the caption has CR LF between its lines.
    const std::string caption = window->text(Control::标签3);
    EXPECT_EQ(caption, texts::kHelpText);
    std::size_t breaks = 0;
    for (std::size_t at = caption.find("\r\n"); at != std::string::npos; at = caption.find("\r\n", at + 2)) ++breaks;
    EXPECT_EQ(breaks, 19u);
    EXPECT_EQ(caption.find('\n'), caption.find("\r\n") + 1);
    EXPECT_NE(caption.substr(caption.size() - 2), "\r\n");
}

TEST_F(WindowTest, BothListsAreReportViewsWithTheirColumns) {
    struct Case {
        const char* name;
        std::vector<int> widths;
    };
    const char* headers[] = {"序号", "文件路径", "结果"};
    for (const Case& c : {Case{"超级列表框_文件", {40, 260, 210}}, Case{"超级列表框_更名", {40, 800}}}) {
        SCOPED_TRACE(c.name);
        auto* view = find<QTableView>(c.name);
        QAbstractItemModel* model = view->model();
        const int columns = static_cast<int>(c.widths.size());
        ASSERT_EQ(model->columnCount(), columns);
        for (int col = 0; col < columns; ++col) {
            EXPECT_EQ(model->headerData(col, Qt::Horizontal).toString(), QString::fromUtf8(headers[col]));
            EXPECT_TRUE(model->headerData(col, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
            EXPECT_EQ(view->horizontalHeader()->sectionSize(col), c.widths[static_cast<std::size_t>(col)]);
        }
        EXPECT_TRUE(view->horizontalHeader()->isVisible() || !view->horizontalHeader()->isHidden());
        EXPECT_TRUE(view->verticalHeader()->isHidden());
        EXPECT_TRUE(view->showGrid());
        EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_FALSE(view->isSortingEnabled());
        EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_FALSE(view->tabKeyNavigation());

        // Replacing the rows keeps the column widths; the cells are left-aligned.
        Control list = std::string(c.name) == "超级列表框_文件" ? Control::超级列表框_文件 : Control::超级列表框_更名;
        window->setRows(list, {ListRow{"1", "/d/a.rar"}, ListRow{"2", "/d/文件2.rar"}});
        EXPECT_EQ(view->horizontalHeader()->sectionSize(1), c.widths[1]);
        EXPECT_EQ(model->index(1, 1).data().toString(), QString::fromUtf8("/d/文件2.rar"));
        EXPECT_TRUE(model->index(1, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
    }
}

TEST_F(WindowTest, TheDeleteListIsAWrappingMultiLineBoxWithoutScrollBars) {
    auto* list = find<QPlainTextEdit>("编辑框1");
    EXPECT_EQ(list->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(list->tabChangesFocus());
    window->setText(Control::编辑框1, "a.txt\r\nb.txt\r\n");
    EXPECT_EQ(list->blockCount(), 3);
    EXPECT_EQ(window->text(Control::编辑框1), "a.txt\r\nb.txt\r\n");
}

}  // namespace
