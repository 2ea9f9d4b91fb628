// Pictures of every tab and every scheme for a person to look at; not run by CTest:
//   VELTRO_SCREENSHOTS=/tmp/shots build/bin/options_screenshots
#include "RecordingPlatform.h"
#include "TestHome.h"

#include "mainwindow/MainWindow.h"
#include "options/OptionsDialog.h"
#include "store/SampleCards.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace veltro;

namespace {

TEST(OptionsScreenshots, EveryTabAndEveryScheme) {
    const QString dir = qEnvironmentVariable("VELTRO_SCREENSHOTS");
    if (dir.isEmpty()) {
        GTEST_SKIP() << "VELTRO_SCREENSHOTS names no directory";
    }
    QDir().mkpath(dir);
    veltro::testing::TestHome home;
    veltro::testing::ScopedRecordingPlatform platform;
    store::writeSampleStore(home.dir(), store::demoCards());
    mainwindow::MainWindow window;
    ASSERT_TRUE(window.Form_Load());
    window.resize(1100, 720);
    window.show();
    auto& dialog = window.optionsDialog();
    auto* tabs = dialog.findChild<QTabWidget*>(QStringLiteral("TabStrip1"));
    const auto save = [&dir](QWidget& widget, const QString& name) {
        QApplication::processEvents();
        EXPECT_TRUE(widget.grab().save(dir + u'/' + name + QStringLiteral(".png")));
    };
    dialog.showOptions();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        save(dialog, QStringLiteral("tab%1-%2").arg(tab + 1).arg(tabs->tabText(tab)));
    }
    for (int scheme = 1; scheme <= 6; ++scheme) {
        for (const bool picture : {false, true}) {
            dialog.showOptions();
            tabs->setCurrentIndex(1);
            dialog.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(scheme))->click();
            dialog.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(picture);
            const QString name =
                QStringLiteral("scheme%1%2").arg(scheme).arg(QLatin1String(picture ? "-bild" : ""));
            save(dialog, name + QStringLiteral("-dialog"));
            dialog.Command1_Click();
            save(window, name + QStringLiteral("-hauptfenster"));
        }
    }
}

}  // namespace
