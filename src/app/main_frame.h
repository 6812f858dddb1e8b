// The decorated frame: the menu bar, the status bar with its four fields, the tool bar docked
// at the top and the view as its client.
#pragma once

#include <QMainWindow>

class QLabel;

namespace folvek {

class DocumentWatch;
class FindBar;
class RecentMenu;
class MainToolBar;
class ReportView;
class StatusFields;

class MainFrame : public QMainWindow {
    Q_OBJECT
  public:
    MainFrame();
    ~MainFrame() override;

    ReportView* view() const { return view_; }
    MainToolBar* toolBar() const { return toolBar_; }
    FindBar* findBar() const { return findBar_; }
    DocumentWatch* documentWatch() const { return watch_; }
    RecentMenu* recentMenu() const { return recent_; }
    StatusFields* statusFields() const { return status_; }
    QLabel* fileNameField() const { return fileName_; }
    QLabel* pageField() const { return page_; }
    QLabel* encodingField() const { return encoding_; }
    QLabel* widthField() const { return width_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    // A file dropped on the window is opened as Open opens the chosen one.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenu();
    void buildStatusBar();

    ReportView* view_ = nullptr;
    MainToolBar* toolBar_ = nullptr;
    FindBar* findBar_ = nullptr;
    DocumentWatch* watch_ = nullptr;
    RecentMenu* recent_ = nullptr;
    StatusFields* status_ = nullptr;
    QLabel* fileName_ = nullptr;
    QLabel* page_ = nullptr;
    QLabel* encoding_ = nullptr;
    QLabel* width_ = nullptr;
};

// Main-window creation: builds the frame around a new view, sets the view up and shows the
// frame (maximized unless asked otherwise). The caller owns the frame.
MainFrame* createMainWindow(bool show = true);

}  // namespace folvek
