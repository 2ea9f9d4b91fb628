// Alt plus a letter reaches one entry: no two entries of a menu, and no two controls a
// person sees together on a dialog page, underline the same letter.
#include "MainWindowFixture.h"

#include "mainwindow/MainMenus.h"
#include "platform/HelpWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

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

// Buttons and boxes a person reaches with Alt and a letter, but which have none.
QStringList withoutLetter(const QWidget& root) {
    QStringList texts;
    for (const QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (qobject_cast<const QToolButton*>(button) == nullptr && !button->text().isEmpty() &&
            mnemonicOf(button->text()).isNull()) {
            texts << button->text();
        }
    }
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        // Read-only boxes are read, not typed into: their label names them.
        const auto* line = qobject_cast<const QLineEdit*>(label->buddy());
        const auto* text = qobject_cast<const QTextEdit*>(label->buddy());
        const bool readOnly = (line && line->isReadOnly()) || (text && text->isReadOnly());
        if (label->buddy() != nullptr && !readOnly && mnemonicOf(label->text()).isNull()) {
            texts << label->text();
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
        // Two spellings of one card, so that the duplicates window opens.
        open({QStringLiteral("Privat")},
             {{QStringLiteral("Müller Anna"), QStringLiteral("Privat")},
              {QStringLiteral("Mueller Anna"), QStringLiteral("Privat")}});
        chooseCategory(QStringLiteral("Privat"));
    }
    [[nodiscard]] static QWidget* newWindow(const QWidgetList& before) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && !before.contains(widget) &&
                !widget->windowFlags().testFlag(Qt::Popup)) {
                return widget;
            }
        }
        return nullptr;
    }
    // Opens the window of a menu entry, hands it to `check` and closes it again; a window
    // with an event loop of its own is looked at from inside that loop.
    void withWindowOf(const char* entry, const std::function<void(QWidget&)>& check) {
        QWidgetList before;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible()) {
                before << widget;
            }
        }
        bool seen = false;
        const auto look = [&] {
            if (QWidget* window = seen ? nullptr : newWindow(before)) {
                seen = true;
                check(*window);
                window->close();
            }
        };
        QTimer::singleShot(0, &window(), look);
        window().menus().action(QString::fromUtf8(entry))->trigger();
        QApplication::processEvents();
        look();
        EXPECT_TRUE(seen) << entry;
        closeOtherWindows();
    }
};

TEST_F(Mnemonics, EachMenuUnderlinesEachLetterOnce) {
    QStringList titles;
    for (const QAction* action : window().menuBar()->actions()) {
        titles << action->text();
        ASSERT_NE(action->menu(), nullptr);
        expectNoClashInMenu(*action->menu());
    }
    // The menu bar shares its letters with the window's own boxes, the further details' too.
    titles << mnemonicTexts(window(), [](const QWidget* widget) { return widget->isWindow(); });
    EXPECT_EQ(clashes(titles), QStringList());
    EXPECT_EQ(window().menus().action(QStringLiteral("mnuDruckerAuswaehlen"))->text(),
              QStringLiteral("Drucker ein&richten..."));
}

// Every window the menus open: one letter per control on each of its pages, and F1 opens
// its help page.
TEST_F(Mnemonics, EveryWindowUnderlinesEachLetterOnceAndOpensItsHelp) {
    const struct {
        const char* entry;
        const char* help;
        std::vector<const char*> pages;  // shown one at a time; tab pages are found
    } windows[] = {
        {"mnuExportieren", "export.html", {}},
        {"mnuImportieren", "import.html", {"Frame5", "Frame3", "Frame6", "Frame4"}},
        {"mnuSicherungWiederherstellen", "optionen.html", {}},
        {"mnuEtiketten", "etiketten.html", {}},
        {"mnuUmschlag", "etiketten.html", {}},
        {"mnuListeDrucken", "etiketten.html", {}},
        {"mnuKarteKategorie", "kategorien.html", {}},
        {"mnuDoppelteKarten", "dubletten.html", {}},
        {"mnuGeburtstage", "geburtstage.html", {}},
        {"mnuEingabefenster", "suchfenster.html", {}},
        {"mnuSynchronisieren", "synchronisieren.html", {}},
        {"mnuOptionen", "optionen.html", {}},
        {"ErsteSchritteDialog", "erste-schritte.html", {}},
        {"mnuInfo", "index.html", {}},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.entry);
        withWindowOf(w.entry, [&](QWidget& opened) {
            QList<QWidget*> pages;
            for (const char* name : w.pages) {
                pages << opened.findChild<QWidget*>(QLatin1String(name));
            }
            for (const auto* tabs : opened.findChildren<QTabWidget*>()) {
                for (int i = 0; i < tabs->count(); ++i) {
                    pages << tabs->widget(i);
                }
            }
            expectNoClashOnPages(opened, pages.isEmpty() ? QList<QWidget*>{&opened} : pages);
            EXPECT_EQ(withoutLetter(opened), QStringList());
            platform_->helpPages.clear();
            opened.activateWindow();
            QApplication::processEvents();
            QWidget* focused = opened.focusWidget();
            QTest::keyClick(focused != nullptr ? focused : &opened, Qt::Key_F1);
            EXPECT_EQ(platform_->helpPages, std::vector<QString>{QString::fromUtf8(w.help)});
        });
    }
    platform::HelpWindow::showPage({});
    QWidget* help = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        help = widget->objectName() == u"HelpWindow" ? widget : help;
    }
    ASSERT_NE(help, nullptr);
    expectNoClashOnPages(*help, {help});
    EXPECT_EQ(mnemonicTexts(*help, [](const QWidget*) { return false; }).size(), 2);
    help->close();
}

}  // namespace
