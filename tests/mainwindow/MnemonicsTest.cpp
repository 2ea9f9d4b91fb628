// Alt plus a letter reaches one entry: no two entries of a menu, and no two controls a
// person sees together on a dialog page, underline the same letter.
#include "MainWindowFixture.h"

#include "mainwindow/MainMenus.h"
#include "options/OptionsDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>

#include <functional>

using namespace veltro;
using veltro::testing::MainWindowFixture;

namespace {

// The underlined letter of a text, in lower case; none without one ("&&" is a plain "&").
QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&') {
                return text[i + 1].toLower();
            }
            ++i;
        }
    }
    return {};
}

// One line per letter that more than one text underlines.
QStringList clashes(const QStringList& texts) {
    QMap<QChar, QStringList> byLetter;
    for (const QString& text : texts) {
        if (const QChar letter = mnemonicOf(text); !letter.isNull()) {
            byLetter[letter] << text;
        }
    }
    QStringList lines;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it) {
        if (it.value().size() > 1) {
            lines << QString(it.key()) + QStringLiteral(": ") + it.value().join(u", ");
        }
    }
    return lines;
}

// The texts with a mnemonic under root, leaving out the subtrees `skip` says to.
QStringList mnemonicTexts(const QWidget& root, const std::function<bool(const QWidget*)>& skip) {
    QStringList texts;
    for (const QWidget* widget : root.findChildren<QWidget*>()) {
        bool skipped = false;
        for (const QWidget* up = widget; up != &root && up != nullptr; up = up->parentWidget()) {
            skipped = skipped || skip(up);
        }
        if (skipped) {
            continue;
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            texts << group->title();
        } else if (const auto* label = qobject_cast<const QLabel*>(widget);
                   label != nullptr && label->buddy() != nullptr) {
            texts << label->text();
        } else if (const auto* tabs = qobject_cast<const QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                texts << tabs->tabText(i);
            }
        }
    }
    return texts;
}

void expectNoClashInMenu(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        texts << action->text();
        if (action->menu() != nullptr) {
            expectNoClashInMenu(*action->menu());
        }
    }
    EXPECT_EQ(clashes(texts), QStringList()) << menu.title().toStdString();
}

// Each page of a dialog is seen with everything outside the pages.
void expectNoClashOnPages(const QWidget& dialog, const QList<QWidget*>& pages) {
    for (const QWidget* page : pages) {
        SCOPED_TRACE(page->objectName().toStdString());
        const auto otherPage = [&](const QWidget* widget) {
            return widget != page && pages.contains(const_cast<QWidget*>(widget));
        };
        EXPECT_EQ(clashes(mnemonicTexts(dialog, otherPage)), QStringList());
    }
}

class Mnemonics : public MainWindowFixture {
protected:
    void SetUp() override {
        open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
        chooseCategory(QStringLiteral("Privat"));
    }
    // The dialog a menu entry opens.
    QWidget* dialogOf(const char* entry, const char* objectName) {
        window().menus().action(QString::fromUtf8(entry))->trigger();
        QApplication::processEvents();
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String(objectName) && widget->isVisible()) {
                return widget;
            }
        }
        return nullptr;
    }
};

TEST_F(Mnemonics, EachMenuUnderlinesEachLetterOnce) {
    QStringList titles;
    for (const QAction* action : window().menuBar()->actions()) {
        titles << action->text();
        ASSERT_NE(action->menu(), nullptr);
        expectNoClashInMenu(*action->menu());
    }
    EXPECT_EQ(clashes(titles), QStringList());
    EXPECT_EQ(window().menus().action(QStringLiteral("mnuDruckerAuswaehlen"))->text(),
              QStringLiteral("Drucker ein&richten..."));
}

TEST_F(Mnemonics, EachDialogPageUnderlinesEachLetterOnce) {
    const QWidget* import = dialogOf("mnuImportieren", "frmImport");
    ASSERT_NE(import, nullptr);
    QList<QWidget*> pages;
    for (const char* frame : {"Frame5", "Frame3", "Frame6", "Frame4"}) {
        pages << import->findChild<QGroupBox*>(QLatin1String(frame));
    }
    expectNoClashOnPages(*import, pages);

    const QWidget* options = dialogOf("mnuOptionen", "Form3");
    ASSERT_NE(options, nullptr);
    const auto* tabs = options->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    pages.clear();
    for (int i = 0; i < tabs->count(); ++i) {
        pages << tabs->widget(i);
    }
    expectNoClashOnPages(*options, pages);

    const QWidget* exporting = dialogOf("mnuExportieren", "frmExport");
    ASSERT_NE(exporting, nullptr);
    EXPECT_EQ(clashes(mnemonicTexts(*exporting, [](const QWidget*) { return false; })),
              QStringList());

    const QWidget* syncing = dialogOf("mnuSynchronisieren", "frmSync");
    ASSERT_NE(syncing, nullptr);
    EXPECT_EQ(clashes(mnemonicTexts(*syncing, [](const QWidget*) { return false; })),
              QStringList());
}

}  // namespace
