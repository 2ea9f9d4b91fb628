#pragma once

// The import dialog opened over a test store, with helpers that click, drag and read it.

#include "ImportTestSupport.h"
#include "RecordingPlatform.h"
#include "TestHome.h"
#include "TestTools.h"

#include "import/ImportDialog.h"
#include "import/ImportHost.h"
#include "import/SourceColumnList.h"
#include "import/TargetFieldList.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace veltro::testing {

using import::ImportDialog;
using import::ImportHost;
using import::SourceColumnList;
using import::TargetFieldList;
using platform::FileResult;

class FakeHost final : public ImportHost {
public:
    FakeHost(std::filesystem::path store, QString category)
        : store_(std::move(store)), category_(std::move(category)) {}
    [[nodiscard]] std::filesystem::path storeFile() const override { return store_; }
    [[nodiscard]] QString selectedCategory() const override { return category_; }
    void setChanged() override { ++changed; }
    void ImportCommand1() override { ++reloads; }
    // The import writes through a session on the store, as the main window's does.
    session::Task* startImport(session::Session::StoreWork work, session::Task::Done done,
                               session::Task::Progress progress) override {
        if (!session.isOpen()) {
            session.open(store_.parent_path());
        }
        return session.startWork(session::RunState::Importing, backup::Occasion::Import,
                                 std::move(work), std::move(done), std::move(progress));
    }
    session::Session session;
    [[nodiscard]] std::int64_t duplicatesOfImport() override { return duplicates; }
    void showDuplicatesOfImport() override { ++duplicatesShown; }

    int changed = 0;
    int reloads = 0;
    std::int64_t duplicates = 0;  // what the host finds after a run
    int duplicatesShown = 0;

private:
    std::filesystem::path store_;
    QString category_;
};

// The dialog of one test, opened over a store with the category "Kunden".
class ImportDialogTest : public ::testing::Test {
protected:
    ImportDialogTest() {
        veltro::testing::makeStore(home.dir(), {"Kunden", "Privat"},
                                   {{"Gärtnerei Grün", "Privat"}});
        dialog = ImportDialog::open(host, window.get());
        EXPECT_NE(dialog, nullptr);
    }
    ~ImportDialogTest() override {
        if (dialog != nullptr) {
            dialog->close();
        }
    }

    template <typename W>
    W* widget(const char* name) {
        return veltro::testing::childNamed<W>(*dialog, QLatin1String(name));
    }
    QPushButton* button(const char* name) { return widget<QPushButton>(name); }
    bool nextEnabled() { return button("Command8")->isEnabled(); }
    bool backEnabled() { return button("Command7")->isEnabled(); }
    // Clicks and waits until what the click began to read has reached the dialog.
    void click(const char* name) {
        QTest::mouseClick(button(name), Qt::LeftButton);
        while (dialog != nullptr && dialog->reading()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    // Starts the import and lets the events run until its end has reached the dialog.
    void runImport() {
        click("Command1");
        while (host.session.work() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }

    // Chooses the file in "Durchsuchen..." with the filter entry (0 CSV, 1 text, 2 Access).
    void browse(const QString& path, int filter) {
        platform->files.push_back(FileResult{path, filter});
        click("Command3");
    }

    QTreeWidgetItem* target(const char16_t* name) {
        return widget<TargetFieldList>("ListView2")
            ->topLevelItem(static_cast<int>(*import::targetByName(QString::fromUtf16(name))));
    }
    QStringList targetColumns(const char16_t* name) {
        const QTreeWidgetItem* item = target(name);
        return {item->text(1), item->text(2), item->text(3)};
    }

    // Drags the source column over the target entry and drops it there, as the mouse does.
    void drag(int sourceRow, const char16_t* targetName) {
        auto* sources = widget<SourceColumnList>("ListView3");
        auto* targets = widget<TargetFieldList>("ListView2");
        ASSERT_NE(sources->topLevelItem(sourceRow), nullptr) << "no source column " << sourceRow;
        const std::unique_ptr<QMimeData> mime(
            sources->mimeData({sources->topLevelItem(sourceRow)}));
        ASSERT_NE(mime, nullptr);
        QTreeWidgetItem* item = target(targetName);
        const QPoint at = targets->visualItemRect(item).center();
        QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(targets->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(targets->viewport(), &move);
        EXPECT_EQ(targets->dropHighlight(), item) << "the entry under the pointer is highlighted";
        QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(targets->viewport(), &drop);
        EXPECT_EQ(targets->dropHighlight(), nullptr);
    }

    [[nodiscard]] int visiblePage() {
        int visible = -1;
        const char* pages[] = {"Frame5", "Frame3", "Frame6", "Frame4"};
        const char* hints[] = {"Label8", "Label6", "Label9", "Label10"};
        for (int i = 0; i < 4; ++i) {
            if (!widget<QGroupBox>(pages[i])->isHidden()) {
                EXPECT_EQ(visible, -1) << "only one page is visible";
                visible = i;
            }
            EXPECT_EQ(widget<QLabel>(hints[i])->isHidden(), widget<QGroupBox>(pages[i])->isHidden())
                << hints[i];
        }
        return visible + 1;
    }

    QString status() { return widget<QLabel>("Panel1")->text(); }
    [[nodiscard]] int previewRows() { return widget<QTreeView>("ListView1")->model()->rowCount(); }

    TestHome home;
    ScopedRecordingPlatform platform;
    FakeHost host{home.storeFile(), "Kunden"};
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPointer<ImportDialog> dialog;
};

}  // namespace veltro::testing
