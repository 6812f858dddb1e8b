// The application object.
#include "application.h"

#include <QIcon>

#include "app_globals.h"
#include "main_frame.h"
#include "qt_translations.h"
#include "shell_state.h"

namespace folvek {

FolvekApplication::FolvekApplication(int& argc, char** argv) : QApplication(argc, argv) {
    initResources();
    setApplicationName(QStringLiteral("folvek"));
    setOrganizationName(QStringLiteral("folvek"));
    setDesktopFileName(QStringLiteral("io.github.folvek.Folvek"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/folvek.svg")));
    setQuitOnLastWindowClosed(true);
    installQtTranslations(*this);
}

FolvekApplication::~FolvekApplication() {
    frame_.reset();
}

bool FolvekApplication::canClose() {
    return !shellState().printing;
}

void FolvekApplication::destroyMainWindow() {
    frame_.reset();
}

void FolvekApplication::initMainWindow() {
    frame_.reset(createMainWindow(true));
}

}  // namespace folvek
