#include "ui/qt/main_window.h"

#include <filesystem>
#include <system_error>

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "ui/core/window_texts.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/controls.h"
#include "ui/qt/delete_page.h"
#include "ui/qt/file_list_page.h"
#include "ui/qt/help_page.h"
#include "ui/qt/page_control.h"
#include "ui/qt/rename_page.h"
#include "ui/qt/report_list.h"
#include "ui/qt/window_style.h"

using controls::qt;

namespace {

// The archiver and its exchange files are named relative to the working directory, so a
// dialog that moves it (as some platform dialogs do) must not leave it moved.
class WorkingDirectoryGuard {
public:
    WorkingDirectoryGuard() : saved_(std::filesystem::current_path(error_)) {}
    ~WorkingDirectoryGuard() {
        std::error_code ec;
        if (!error_ && std::filesystem::current_path(ec) != saved_) std::filesystem::current_path(saved_, ec);
    }

private:
    std::error_code error_;
    std::filesystem::path saved_;
};

// QPlainTextEdit's own text, without the conversions of toPlainText(); its paragraph and
// line separators are line breaks.
QString plainText(const QPlainTextEdit* edit) {
    QString s = edit->document()->toRawText();
    s.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    s.replace(QChar::LineSeparator, QChar(u'\n'));
    return s;
}

}  // namespace

MainWindow::MainWindow(JobStarter& jobs, const SettingsFile& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      presenter_(*this, jobs, settings) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(qt(texts::kWindowTitle));
    setWindowIcon(appIcon());
    // Font and colours first: the controls made below take them from the window.
    setFont(style::guiFont());
    style::paintWindow(this);
    setFixedSize(kClientSize);

    pages_ = controls::named(new PageControl(this), Control::高级选择夹1);
    pages_->setGeometry(7, 8, 560, 380);
    fileList_ = new FileListPage;
    rename_ = new RenamePage;
    delete_ = new DeletePage;
    help_ = new HelpPage;
    pages_->addPage(fileList_, qt(texts::kPageFileList));
    pages_->addPage(rename_, qt(texts::kPageRename));
    pages_->addPage(delete_, qt(texts::kPageDelete));
    pages_->addPage(help_, qt(texts::kPageHelp));
    pages_->setCurrentIndex(0);

    status_ = controls::label(this, Control::标签_状态, {});
    status_->setGeometry(13, 398, 243, 18);
    // One line: a text with line breaks shows its first line.
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connectEvents();
    centreOnScreen();
    presenter_.onCreated();
}

MainWindow::~MainWindow() { presenter_.onDestroyed(); }

void MainWindow::connectEvents() {
    MainPresenter* p = &presenter_;
    connect(fileList_->addButton, &QPushButton::clicked, this, [p] { p->onAddClicked(); });
    connect(fileList_->clearButton, &QPushButton::clicked, this, [p] { p->onClearClicked(); });
    connect(fileList_->removeButton, &QPushButton::clicked, this, [p] { p->onRemoveClicked(); });
    connect(fileList_->browseButton, &QPushButton::clicked, this, [p] { p->onBrowseClicked(); });
    connect(fileList_->list, &ReportList::rowFocused, this, [p](int row) { p->onFileRowFocused(static_cast<std::size_t>(row)); });
    connect(rename_->byExtension, &QRadioButton::clicked, this, [p] { p->onByExtensionClicked(); });
    connect(rename_->byNumber, &QRadioButton::clicked, this, [p] { p->onByNumberClicked(); });
    connect(rename_->renameButton, &QPushButton::clicked, this, [p] { p->onRenameClicked(); });
    connect(delete_->cleanButton, &QPushButton::clicked, this, [p] { p->onCleanClicked(); });
}

void MainWindow::centreOnScreen() {
    QScreen* screen = this->screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - kOuterSize.width()) / 2, area.y() + (area.height() - kOuterSize.height()) / 2);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (fitted_) return;
    fitted_ = true;
    // The frame's size is known only once the window is on the screen.
    QTimer::singleShot(0, this, &MainWindow::fitToFrame);
}

void MainWindow::fitToFrame() {
    const QSize frame = frameGeometry().size() - size();
    if (frame.width() <= 0 || frame.height() <= 0) return;
    setFixedSize((kOuterSize - frame).expandedTo(kContentSize));
    centreOnScreen();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    presenter_.onClosing();
    event->accept();
}

QWidget* MainWindow::control(Control c) const { return findChild<QWidget*>(qt(controlName(c))); }

ReportList* MainWindow::list(Control c) const { return qobject_cast<ReportList*>(control(c)); }

std::string MainWindow::text(Control c) const {
    QWidget* w = control(c);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return controls::utf8(e->text());
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return controls::utf8WithCrLf(plainText(p));
    if (auto* l = qobject_cast<QLabel*>(w)) return controls::utf8WithCrLf(l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return controls::utf8(b->text());
    return {};
}

void MainWindow::setText(Control c, const std::string& text) {
    QWidget* w = control(c);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(qt(text));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        p->setPlainText(controls::qtLines(text));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(controls::qtLines(text));
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(qt(text));
    }
}

bool MainWindow::isChecked(Control c) const {
    auto* r = qobject_cast<QRadioButton*>(control(c));
    return r && r->isChecked();
}

void MainWindow::setEnabled(Control c, bool enabled) {
    if (QWidget* w = control(c)) w->setEnabled(enabled);
}

void MainWindow::setRows(Control c, const std::vector<ListRow>& rows) {
    if (ReportList* l = list(c)) l->rows()->setRows(rows);
}

void MainWindow::appendRows(Control c, const std::vector<ListRow>& rows) {
    if (ReportList* l = list(c)) l->rows()->appendRows(rows);
}

void MainWindow::updateRows(Control c, std::size_t first, const std::vector<ListRow>& rows) {
    if (ReportList* l = list(c)) l->rows()->updateRows(first, rows);
}

std::optional<std::size_t> MainWindow::selectedRow(Control c) const {
    ReportList* l = list(c);
    return l ? l->selectedRow() : std::nullopt;
}

std::vector<std::string> MainWindow::askForFiles(const OpenFilesRequest& request) {
    WorkingDirectoryGuard keepWorkingDirectory;
    QFileDialog dialog(this, qt(request.title));
    dialog.setObjectName(QStringLiteral("addFilesDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(qt(request.filterName) + QStringLiteral(" (") + qt(request.filterPattern) + QStringLiteral(")"));
    std::vector<std::string> files;
    if (dialog.exec() != QDialog::Accepted) return files;
    for (const QString& f : dialog.selectedFiles()) files.push_back(controls::utf8(QDir::toNativeSeparators(f)));
    return files;
}

std::optional<std::string> MainWindow::askForDirectory(const std::string& title, const std::string& startDirectory) {
    WorkingDirectoryGuard keepWorkingDirectory;
    QFileDialog dialog(this, qt(title));
    dialog.setObjectName(QStringLiteral("chooseDirectoryDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!startDirectory.empty() && QDir(qt(startDirectory)).exists()) dialog.setDirectory(qt(startDirectory));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList picked = dialog.selectedFiles();
    if (picked.isEmpty() || picked.first().isEmpty()) return std::nullopt;
    return controls::utf8(QDir::toNativeSeparators(picked.first()));
}

void MainWindow::postStatus(const std::string& text) {
    post([this, text] { setText(Control::标签_状态, text); });
}

void MainWindow::post(std::function<void()> task) {
    // Queued on the window's thread; Qt drops what is still queued when the window goes.
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}
