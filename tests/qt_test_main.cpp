// Test entry for the Qt layers: a real QApplication on the offscreen platform, so widgets,
// fonts and painters behave as in the program without a display, and a guard that no test
// waits on a modal dialog meant for a person.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "modal_dialog_guard.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Documents the tests open go to a desktop recent list of their own, never the user's.
    QTemporaryDir dataHome;
    if (dataHome.isValid()) qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    folvek::test::ModalDialogGuard guard;
    return RUN_ALL_TESTS();
}
