// The application: Qt's application object with the can-close check and main-window creation.
#pragma once

#include <QApplication>
#include <memory>

namespace folvek {

class MainFrame;

class FolvekApplication : public QApplication {
    Q_OBJECT
  public:
    FolvekApplication(int& argc, char** argv);
    ~FolvekApplication() override;

    // False while a print job runs, so the program cannot be closed in the middle of it.
    static bool canClose();

    // Builds the frame, view, tool bar and status bar and shows the frame.
    void initMainWindow();
    // Closes down the main window now (its view writes the history), before the exit status
    // is decided.
    void destroyMainWindow();
    MainFrame* mainWindow() const { return frame_.get(); }

  private:
    std::unique_ptr<MainFrame> frame_;
};

}  // namespace folvek
