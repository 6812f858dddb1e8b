// A file dropped on the window opens as Open opens it: the history's settings file, the frame
// refreshed; what is not a local file is refused.
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app_fixture.h"
#include "document_record.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// Delivers enter and drop as the window system would; returns whether the drop was taken.
bool drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

// Whether the window takes a drag that comes in: only one that carries a file it could open.
bool takesDrag(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    return enter.isAccepted();
}

// Delivers the drop alone, as when the enter was taken before something changed.
bool dropOnly(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDropEvent dropped(QPointF(target->rect().center()), Qt::CopyAction, &data, Qt::LeftButton,
                       Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

}  // namespace

TEST_F(AppTest, ADroppedFileOpensWithTheSettingsTheHistoryKnows) {
    writeFile("B.INI", "[Folvk]\nZoom=7\n");
    const std::string b = pagedDocument("b.txt", 3);
    writeFile("history.cfg", b + "\tB.INI\r\n");
    shellState().documentPath = pagedDocument("a.txt", 1);
    start();
    ASSERT_TRUE(drop(frame.get(), {QUrl::fromLocalFile(QString::fromStdString(b))}));
    EXPECT_EQ(shownPath(), b);
    EXPECT_EQ(shellState().IniFileName, "B.INI");
    EXPECT_EQ(view()->record()->pageCount, 3);
    EXPECT_EQ(view()->record()->Zoom, 7);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("FolVk - ") + QString::fromStdString(b));
}

TEST_F(AppTest, FoldersRemoteAddressesAndDropsDuringPrintingAreRefused) {
    const std::string a = pagedDocument("a.txt", 1);
    const std::string b = pagedDocument("b.txt", 2);
    shellState().documentPath = a;
    start();
    EXPECT_FALSE(takesDrag(frame.get(), {QUrl::fromLocalFile(dir.path())}));
    EXPECT_FALSE(takesDrag(frame.get(), {QUrl(QStringLiteral("https://example.org/r.txt"))}));
    EXPECT_TRUE(takesDrag(frame.get(), {QUrl::fromLocalFile(QString::fromStdString(b))}));
    EXPECT_FALSE(drop(frame.get(), {QUrl::fromLocalFile(dir.path())}));
    EXPECT_FALSE(drop(frame.get(), {QUrl(QStringLiteral("https://example.org/r.txt"))}));
    shellState().printing = true;
    EXPECT_FALSE(drop(frame.get(), {QUrl::fromLocalFile(QString::fromStdString(b))}));
    // The drop itself is refused too when printing began after the pointer came in.
    EXPECT_FALSE(dropOnly(frame.get(), {QUrl::fromLocalFile(QString::fromStdString(b))}));
    shellState().printing = false;
    EXPECT_FALSE(dropOnly(frame.get(), {QUrl::fromLocalFile(dir.path())}));
    EXPECT_EQ(shownPath(), a);
    // Of several, the first file is opened.
    EXPECT_TRUE(drop(frame.get(), {QUrl::fromLocalFile(dir.path()),
                                   QUrl::fromLocalFile(QString::fromStdString(b))}));
    EXPECT_EQ(shownPath(), b);
}
