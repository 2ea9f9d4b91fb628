// Where the program's windows open under a real window manager, and that a second command
// for a dialog that is open brings it to the front.
#include "MainWindowFixture.h"
#include "QtPrinters.h"
#include "WindowTools.h"

#include "export/ExportDialog.h"
#include "import/ImportDialog.h"
#include "mainwindow/MainMenus.h"
#include "platform/HelpWindow.h"
#include "platform/QtPlatform.h"
#include "search/SearchWindow.h"

#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace veltro;
using veltro::testing::MainWindowFixture;

namespace {

constexpr int kPlacementPatienceMs = 5000;

using veltro::testing::placedFrameGeometry;

class Placement : public MainWindowFixture {
protected:
    void SetUp() override {
        open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
        chooseCategory(QStringLiteral("Privat"));
        // Off the screen's centre, so that "over the main window" and "in the middle of
        // the screen" differ.
        window().setGeometry(60, 80, 820, 620);
        ASSERT_TRUE(veltro::testing::showActive(window()));
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return window().geometry().topLeft() == QPoint(60, 80);
        })) << ::testing::PrintToString(window().geometry());
        static_cast<void>(placedFrameGeometry(window()));
    }
    void TearDown() override {
        closeOtherWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MainWindowFixture::TearDown();
    }

    void trigger(const char* entry) {
        window().menus().action(QString::fromUtf8(entry))->trigger();
        veltro::testing::settle();
    }
    // The visible top-level window besides the main window, once there is one.
    static QWidget* otherWindow(const QWidget& main) {
        QWidget* found = nullptr;
        static_cast<void>(QTest::qWaitFor(
            [&] {
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    if (widget != &main && widget->isVisible() && widget->isWindow() &&
                        !widget->windowFlags().testFlag(Qt::Popup)) {
                        found = widget;
                        return true;
                    }
                }
                return false;
            },
            kPlacementPatienceMs));
        return found;
    }
    [[nodiscard]] QRect screenArea() const { return window_->screen()->availableGeometry(); }

    template <typename Dialog>
    static int countOf() {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            count += qobject_cast<Dialog*>(widget) != nullptr && widget->isVisible() ? 1 : 0;
        }
        return count;
    }
};

TEST_F(Placement, TheSearchWindowShowsItsWholeTitle) {
    trigger("mnuEingabefenster");
    auto* search = search::SearchWindow::current();
    ASSERT_NE(search, nullptr);
    const QRect frame = placedFrameGeometry(*search);
    // The title bar holds an icon and three buttons about as wide as it is high.
    const int titleBar = search->geometry().top() - frame.top();
    QFont bold = search->font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(search->windowTitle()) + 5 * titleBar;
    EXPECT_GE(frame.width(), needed);
    EXPECT_TRUE(screenArea().contains(frame)) << ::testing::PrintToString(frame);
}

TEST_F(Placement, TheHelpWindowOpensFullyOnTheScreen) {
    platform::HelpWindow::showPage({});
    QWidget* help = otherWindow(window());
    ASSERT_NE(help, nullptr);
    const QRect frame = placedFrameGeometry(*help);
    EXPECT_TRUE(screenArea().contains(frame)) << ::testing::PrintToString(frame);
}

TEST_F(Placement, DialogsOpenOverTheMainWindow) {
    const QPoint centre = placedFrameGeometry(window()).center();
    for (const char* entry : {"mnuOptionen", "mnuExportieren", "mnuImportieren", "mnuInfo"}) {
        SCOPED_TRACE(entry);
        ASSERT_TRUE(veltro::testing::showActive(window()));
        trigger(entry);
        QWidget* dialog = otherWindow(window());
        ASSERT_NE(dialog, nullptr);
        const QRect frame = placedFrameGeometry(*dialog);
        EXPECT_TRUE(screenArea().contains(frame)) << ::testing::PrintToString(frame);
        EXPECT_LE((frame.center() - centre).manhattanLength(), 40)
            << ::testing::PrintToString(frame);
        dialog->close();
        veltro::testing::settle();
    }
}

// Qt's own dialog, which speaks German whatever language the system speaks.
TEST_F(Placement, FileDialogsOpenInTheFolderLastUsedAndDateInGerman) {
    QTemporaryDir proposed;
    QTemporaryDir chosen;
    const QString file = chosen.filePath(QStringLiteral("adressen.csv"));
    QFile written(file);
    written.open(QIODevice::WriteOnly);
    written.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(9, 30)),
                        QFileDevice::FileModificationTime);
    written.close();
    platform::QtPlatform platform;
    QStringList shownFolders;
    QString shownDate;
    // Answers the next file dialog with `path` after noting the folder it shows.
    const auto answer = [&](const QString& path) {
        QTimer::singleShot(0, [&shownFolders, &shownDate, &file, path] {
            QWidget* modal = nullptr;
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return (modal = QApplication::activeModalWidget()) != nullptr; }));
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            shownFolders << QDir(dialog->directory()).canonicalPath();
            const auto* files =
                qobject_cast<QFileSystemModel*>(dialog->proxyModel()->sourceModel());
            static_cast<void>(QTest::qWaitFor([&] {
                shownDate =
                    dialog->proxyModel()->mapFromSource(files->index(file, 3)).data().toString();
                return !shownDate.isEmpty();
            }));
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
    };
    platform::FileRequest request;
    request.filters = {QStringLiteral("CSV-Datei (*.csv)")};
    request.directory = proposed.path();
    answer(file);
    ASSERT_TRUE(platform.openFile(request));
    answer(file);
    ASSERT_TRUE(platform.openFile(request));
    answer(chosen.filePath(QStringLiteral("neu.csv")));
    ASSERT_TRUE(platform.saveFile(request));
    const QString first = QDir(proposed.path()).canonicalPath();
    const QString last = QDir(chosen.path()).canonicalPath();
    EXPECT_EQ(shownFolders, (QStringList{first, last, last}));
    EXPECT_EQ(shownDate, QStringLiteral("Mo., 7. Dez. 2026 09:30"));
}

TEST_F(Placement, ASecondExportOrImportBringsTheOpenDialogToTheFront) {
    const struct {
        const char* entry;
        std::function<int()> count;
    } cases[] = {
        {"mnuExportieren", [] { return countOf<exporting::ExportDialog>(); }},
        {"mnuImportieren", [] { return countOf<import::ImportDialog>(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        trigger(c.entry);
        QWidget* dialog = otherWindow(window());
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(veltro::testing::showActive(window()));
        trigger(c.entry);
        EXPECT_EQ(c.count(), 1);
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog, kPlacementPatienceMs));
        dialog->close();
        veltro::testing::settle();
    }
}

}  // namespace
