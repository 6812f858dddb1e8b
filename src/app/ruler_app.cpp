// The application object.
#include "ruler_app.h"

#include <QIcon>

#include "app_globals.h"
#include "main_frame.h"
#include "qt_translations.h"
#include "shell_state.h"

namespace folvek {

TRulerApp::TRulerApp(int& argc, char** argv) : QApplication(argc, argv) {
    initResources();
    setApplicationName(QStringLiteral("folvek"));
    setOrganizationName(QStringLiteral("folvek"));
    setDesktopFileName(QStringLiteral("io.github.folvek.Folvek"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/folvek.svg")));
    setQuitOnLastWindowClosed(true);
    installQtTranslations(*this);
}

TRulerApp::~TRulerApp() {
    frame_.reset();
}

bool TRulerApp::canClose() {
    return !shellState().printing;
}

void TRulerApp::initMainWindow() {
    frame_.reset(createMainWindow(true));
}

}  // namespace folvek
