#pragma once
// MainWindow: the program's one top-level window. It assembles the four pages, draws the
// fixed layout and forwards every event of the event table to the presenter, which it
// serves as its view.
#include <QSize>
#include <QWidget>

#include "ui/core/main_presenter.h"
#include "ui/core/main_view.h"

class QLabel;
class PageControl;
class FileListPage;
class RenamePage;
class DeletePage;
class HelpPage;
class ReportList;

class MainWindow : public QWidget, public MainView {
    Q_OBJECT
public:
    // The outer size, frame included, and the client area used where no frame is known
    // (a thin fixed frame of 3 pixels and a title bar of 19).
    static constexpr QSize kOuterSize{581, 453};
    static constexpr QSize kClientSize{575, 428};
    // The client area never shrinks below what the controls cover.
    static constexpr QSize kContentSize{567, 416};

    // Builds the window in its initial state, centred, then runs the created handler.
    MainWindow(JobStarter& jobs, const SettingsFile& settings, QWidget* parent = nullptr);
    // Runs the destroyed handler while the controls still exist.
    ~MainWindow() override;

    PageControl* pageControl() const { return pages_; }
    MainPresenter& presenter() { return presenter_; }

    std::string text(Control control) const override;
    void setText(Control control, const std::string& text) override;
    bool isChecked(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    void setRows(Control list, const std::vector<ListRow>& rows) override;
    void appendRows(Control list, const std::vector<ListRow>& rows) override;
    void updateRows(Control list, std::size_t first, const std::vector<ListRow>& rows) override;
    std::optional<std::size_t> selectedRow(Control list) const override;
    std::vector<std::string> askForFiles(const OpenFilesRequest& request) override;
    std::optional<std::string> askForDirectory(const std::string& title, const std::string& startDirectory) override;
    void postStatus(const std::string& text) override;
    void post(std::function<void()> task) override;

    using QWidget::setEnabled;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* control(Control control) const;
    ReportList* list(Control control) const;
    void connectEvents();
    void centreOnScreen();
    void fitToFrame();

    PageControl* pages_;
    FileListPage* fileList_;
    RenamePage* rename_;
    DeletePage* delete_;
    HelpPage* help_;
    QLabel* status_;
    bool fitted_ = false;
    MainPresenter presenter_;
};
