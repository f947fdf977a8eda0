// The window in use: typing, clicking, dialogs, the events that reach the presenter, and
// the settings at start and end.
#include <filesystem>
#include <thread>

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "tests/ui_qt/window_fixture.h"
#include "ui/qt/coloured_tab_bar.h"
#include "ui/qt/page_control.h"
#include "ui/qt/window_style.h"

namespace fs = std::filesystem;

namespace {

void commit(QWidget* w, const QString& text) {
    // QTest::keyClicks cannot type Chinese; an input method's commit can.
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(w, &event);
}

// Runs `act` on the file dialog once it is open (the dialog runs its own event loop).
void whenDialogOpens(std::function<void(QFileDialog*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start(10);
}

// Types into the dialog's own name box, as a user would, and presses its accept button.
void typeAndAccept(QFileDialog* d, const std::string& text) {
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(text));
    static_cast<QDialog*>(d)->accept();
}

std::vector<std::string> listedPaths(QTableView* view) {
    std::vector<std::string> out;
    for (int r = 0; r < view->model()->rowCount(); ++r) out.push_back(view->model()->index(r, 1).data().toString().toStdString());
    return out;
}

std::vector<std::string> listedNumbers(QTableView* view) {
    std::vector<std::string> out;
    for (int r = 0; r < view->model()->rowCount(); ++r) out.push_back(view->model()->index(r, 0).data().toString().toStdString());
    return out;
}

TEST_F(WindowTest, TheStartNumberBoxTakesOnlyDigitsAndMinusWhenTyped) {
    auto* edit = find<QLineEdit>("编辑框_序号");
    window->presenter().onByNumberClicked();
    ASSERT_TRUE(edit->isEnabled());
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* expected;
    };
    const Step steps[] = {
        {"digits and minus", [&] { QTest::keyClicks(edit, "1a-b 2.x"); }, "1-2"},
        {"punctuation", [&] { QTest::keyClicks(edit, "+,/:;=_*"); }, "1-2"},
        {"backspace", [&] { QTest::keyClick(edit, Qt::Key_Backspace); }, "1-"},
        {"delete", [&] { QTest::keyClick(edit, Qt::Key_Home); QTest::keyClick(edit, Qt::Key_Delete); }, "-"},
        {"input method", [&] { edit->end(false); commit(edit, QString::fromUtf8("１二3a-")); }, "-3-"},
        {"paste", [&] { QGuiApplication::clipboard()->setText("x9 y"); QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier); }, "-3-x9 y"},
        {"set by the program", [&] { window->setText(Control::编辑框_序号, "abc 00005"); }, "abc 00005"},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(edit->text().toStdString(), s.expected) << s.what;
    }
}

TEST_F(WindowTest, OtherEditBoxesTakeEveryCharacter) {
    auto* prefix = find<QLineEdit>("编辑框_前缀");
    QTest::keyClicks(prefix, "a b.");
    commit(prefix, QString::fromUtf8("示例"));
    EXPECT_EQ(window->text(Control::编辑框_前缀), "a b.示例");
}

TEST_F(WindowTest, ExactlyOneRadioButtonIsSelectedAndTheyGovernTheStartNumber) {
    window->show();
    window->pageControl()->setCurrentIndex(1);
    auto* byExtension = find<QRadioButton>("单选框_按后缀");
    auto* byNumber = find<QRadioButton>("单选框_按序号");
    struct Click {
        QRadioButton* button;
        bool numberChecked;
    };
    for (const Click& c : {Click{byNumber, true}, Click{byNumber, true}, Click{byExtension, false}, Click{byExtension, false},
                           Click{byNumber, true}}) {
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(byNumber->isChecked(), c.numberChecked);
        EXPECT_NE(byExtension->isChecked(), byNumber->isChecked());
        EXPECT_EQ(find("编辑框_序号")->isEnabled(), c.numberChecked);
        EXPECT_EQ(find("标签5")->isEnabled(), c.numberChecked);
        EXPECT_TRUE(find("编辑框_后缀")->isEnabled());
        EXPECT_TRUE(find("编辑框_前缀")->isEnabled());
    }
}

TEST_F(WindowTest, TabTitlesAreRedWhenSelectedOrUnderThePointerAndGreyWhenDisabled) {
    window->show();
    ColouredTabBar* bar = window->pageControl()->tabBar();
    EXPECT_EQ(bar->titleColour(0), style::kRed);
    EXPECT_EQ(bar->titleColour(1), style::kYellow);
    QTest::mouseMove(bar, bar->tabRect(2).center());
    EXPECT_EQ(bar->hoveredIndex(), 2);
    EXPECT_EQ(bar->titleColour(2), style::kRed);
    EXPECT_EQ(bar->titleColour(0), style::kRed);
    QTest::mouseMove(bar, bar->tabRect(1).center());
    EXPECT_EQ(bar->titleColour(2), style::kYellow);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);
    EXPECT_EQ(bar->titleColour(1), style::kYellow);
    window->pageControl()->setEnabled(false);
    for (int i = 0; i < bar->count(); ++i) EXPECT_EQ(bar->titleColour(i), style::kGrey);
    window->pageControl()->setEnabled(true);

    // Drawn: sky-blue tabs with pink outlines.
    const QImage shot = bar->grab().toImage();
    const QRect tab = bar->tabRect(1);
    EXPECT_EQ(QColor(shot.pixel(tab.left() + 2, tab.bottom() - 2)), style::kSkyBlue);
    EXPECT_EQ(QColor(shot.pixel(tab.center().x(), tab.top() + 2)), style::kPink);
    EXPECT_EQ(QColor(shot.pixel(tab.left(), tab.center().y())), style::kPink);
}

TEST_F(WindowTest, ClickingATabShowsItsPage) {
    window->show();
    ColouredTabBar* bar = window->pageControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(window->pageControl()->currentIndex(), 2);
    EXPECT_TRUE(find("编辑框1")->isVisible());
    EXPECT_FALSE(find("超级列表框_文件")->isVisible());
}

TEST_F(WindowTest, TheAddDialogAsksForRarFilesAndLeavesTheWorkingDirectory) {
    tmp.write("pick/a.rar", "");
    tmp.write("pick/b.rar", "");
    const fs::path before = fs::current_path();
    QString title, filter;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    whenDialogOpens([&](QFileDialog* d) {
        title = d->windowTitle();
        filter = d->nameFilters().join('|');
        mode = d->fileMode();
        // As a platform dialog might: move the working directory, then cancel.
        fs::current_path(tmp.path());
        d->reject();
    });
    QTest::mouseClick(find<QPushButton>("按钮_添加"), Qt::LeftButton);
    EXPECT_EQ(title, QString::fromUtf8("请选择需要添加的文件"));
    EXPECT_EQ(filter, QString::fromUtf8("Rar压缩包 (*.rar)"));
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_EQ(find<QTableView>("超级列表框_文件")->model()->rowCount(), 0);

    whenDialogOpens([&](QFileDialog* d) {
        typeAndAccept(d, "\"" + (tmp.path() / "pick/b.rar").string() + "\" \"" + (tmp.path() / "pick/a.rar").string() + "\"");
    });
    QTest::mouseClick(find<QPushButton>("按钮_添加"), Qt::LeftButton);
    auto paths = listedPaths(find<QTableView>("超级列表框_文件"));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{(tmp.path() / "pick/a.rar").string(), (tmp.path() / "pick/b.rar").string()}));
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(WindowTest, BrowseWalksTheChosenFolderAndShowsItInThePathBox) {
    tmp.write("tree/top.rar", "");
    tmp.write("tree/sub/deeper/low.rar", "");
    tmp.write("tree/sub/other.zip", "");
    const fs::path before = fs::current_path();
    QString title;
    whenDialogOpens([&](QFileDialog* d) {
        title = d->windowTitle();
        fs::current_path(tmp.path());
        d->reject();
    });
    window->setText(Control::编辑框_路径, "/kept");
    QTest::mouseClick(find<QPushButton>("按钮_浏览"), Qt::LeftButton);
    EXPECT_EQ(title, QString::fromUtf8("选择目录："));
    EXPECT_EQ(window->text(Control::编辑框_路径), "/kept");
    EXPECT_EQ(fs::current_path(), before);

    const std::string tree = (tmp.path() / "tree").string();
    whenDialogOpens([&](QFileDialog* d) { typeAndAccept(d, tree); });
    QTest::mouseClick(find<QPushButton>("按钮_浏览"), Qt::LeftButton);
    for (int i = 0; i < 100 && window->presenter().walking(); ++i) QApplication::processEvents();
    EXPECT_EQ(window->text(Control::编辑框_路径), tree);
    EXPECT_EQ(listedPaths(find<QTableView>("超级列表框_文件")),
              (std::vector<std::string>{tree + "/top.rar", tree + "/sub/deeper/low.rar"}));
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(WindowTest, ARowThatReceivesTheFocusEnablesRemoveWhichRenumbers) {
    for (const char* name : {"a.rar", "b.rar", "c.rar"}) tmp.write(std::string("t/") + name, "");
    window->show();
    whenDialogOpens([&](QFileDialog* d) { typeAndAccept(d, (tmp.path() / "t").string()); });
    QTest::mouseClick(find<QPushButton>("按钮_浏览"), Qt::LeftButton);
    for (int i = 0; i < 100 && window->presenter().walking(); ++i) QApplication::processEvents();
    auto* view = find<QTableView>("超级列表框_文件");
    ASSERT_EQ(view->model()->rowCount(), 3);
    const std::vector<std::string> before = listedPaths(view);

    auto* remove = find<QPushButton>("按钮_删除");
    EXPECT_FALSE(remove->isEnabled());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(1, 1)).center());
    EXPECT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(listedPaths(view), (std::vector<std::string>{before[0], before[2]}));
    EXPECT_EQ(listedNumbers(view), (std::vector<std::string>{"1", "2"}));
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(view->selectionModel()->hasSelection());

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_TRUE(remove->isEnabled());
    QTest::mouseClick(find<QPushButton>("按钮_清空"), Qt::LeftButton);
    EXPECT_EQ(view->model()->rowCount(), 0);
    EXPECT_EQ(window->presenter().archives().count(), 0u);
    EXPECT_FALSE(remove->isEnabled());
}

TEST_F(WindowTest, TheStartButtonsHandTheInputsOfTheMomentToTheJobs) {
    window->setText(Control::编辑框_后缀, "exe");
    window->setText(Control::编辑框_前缀, "示例");
    window->presenter().onByNumberClicked();
    window->setText(Control::编辑框_序号, "00005");
    QTest::mouseClick(find<QRadioButton>("单选框_按序号"), Qt::LeftButton);
    QTest::mouseClick(find<QPushButton>("按钮2"), Qt::LeftButton);
    ASSERT_EQ(jobs.renames.size(), 1u);
    EXPECT_TRUE(jobs.renames[0].byNumber);
    EXPECT_EQ(jobs.renames[0].extension, "exe");
    EXPECT_EQ(jobs.renames[0].prefix, "示例");
    EXPECT_EQ(jobs.renames[0].startNumber, "00005");

    // The job reports from its own thread; the texts arrive through the window's queue.
    std::thread worker([this] {
        jobs.status("正在修改第1个文件名称。");
        jobs::RenameResult kept;
        kept.ordinal = 1;
        kept.outcome = jobs::RenameResult::Outcome::NoMatchingEntry;
        kept.oldPath = kept.currentPath = "/d/a.rar";
        kept.detail = "没有找到";
        jobs.report.renameResult(kept);
        jobs.status("RAR文件名称修改完毕！");
        jobs.report.finished();
    });
    worker.join();
    settle();
    EXPECT_EQ(find<QLabel>("标签_状态")->text(), QString::fromUtf8("RAR文件名称修改完毕！"));
    EXPECT_EQ(listedPaths(find<QTableView>("超级列表框_更名")), (std::vector<std::string>{"/d/a.rar（没有找到）"}));

    find<QPlainTextEdit>("编辑框1")->setPlainText(QString::fromUtf8("文件1.txt\nb.exe"));
    jobs.busyFlag = true;
    QTest::mouseClick(find<QPushButton>("按钮_删除指定文件"), Qt::LeftButton);
    EXPECT_TRUE(jobs.cleans.empty());
    jobs.busyFlag = false;
    QTest::mouseClick(find<QPushButton>("按钮_删除指定文件"), Qt::LeftButton);
    EXPECT_EQ(jobs.cleans, (std::vector<std::string>{"文件1.txt\r\nb.exe"}));
}

TEST_F(WindowTest, ClosingWaitsForTheJobAndNeverRefuses) {
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(jobs.waits, 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowTest, TheTextsOfTheFiveBoxesSurviveARestart) {
    window->setText(Control::编辑框_路径, "/资料");
    window->setText(Control::编辑框_后缀, "exe");
    window->setText(Control::编辑框_前缀, "示例");
    window->setText(Control::编辑框_序号, "00005");
    find<QPlainTextEdit>("编辑框1")->setPlainText(QString::fromUtf8("文件1.txt\n文件2.exe\n文件3.pdf"));
    window.reset();
    EXPECT_EQ(settings.load(), (SettingsValues{"/资料", "exe", "示例", "00005", "文件1.txt\r\n文件2.exe\r\n文件3.pdf"}));

    window = std::make_unique<MainWindow>(jobs, settings);
    EXPECT_EQ(find<QLineEdit>("编辑框_序号")->text(), "00005");
    EXPECT_EQ(find<QLineEdit>("编辑框_前缀")->text(), QString::fromUtf8("示例"));
    EXPECT_EQ(find<QPlainTextEdit>("编辑框1")->blockCount(), 3);
    EXPECT_EQ(find<QTableView>("超级列表框_文件")->model()->rowCount(), 0);
}

}  // namespace
