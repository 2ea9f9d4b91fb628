// The help pages: each listed in the contents, linked only among themselves, shown by the
// help window, and naming what the windows offer: every entry of the main window's menus and
// the pages and groups of the options dialog.
#include "TestHome.h"
#include "TestTools.h"

#include "mainwindow/MainMenus.h"
#include "options/OptionsDialog.h"
#include "platform/HelpWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using namespace Qt::Literals::StringLiterals;

QString pageHtml(const QString& name) {
    return QString::fromUtf8(veltro::testing::fileBytes(u":/help/"_s + name));
}

QString pageText(const QString& name) {
    QTextDocument document;
    document.setHtml(pageHtml(name));
    return document.toPlainText();
}

// A caption as the help writes it: without the mark of its underlined letter and the dots
// of an entry that opens a dialog.
QString caption(QString text) {
    static const QRegularExpression mark(u"&(?!&)"_s);
    static const QRegularExpression dots(u"(\\.\\.\\.|…)$"_s);
    return text.remove(mark).remove(dots).simplified();
}

void addEntries(const QMenu& menu, QStringList& entries) {
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            entries << caption(action->text());
        }
        if (action->menu() != nullptr) {
            addEntries(*action->menu(), entries);
        }
    }
}

// Every page has a title, is listed in the contents and links only to pages that exist.
TEST(HelpPages, EveryPageIsListedAndLinksStayInsideTheHelp) {
    static const QRegularExpression link(u"href=\"([^\"]*)\""_s);
    const QString index = pageHtml(u"index.html"_s);
    const QStringList pages = QDir(u":/help"_s).entryList({u"*.html"_s});
    ASSERT_GE(pages.size(), 19);
    for (const QString& page : pages) {
        const QString text = pageHtml(page);
        EXPECT_TRUE(text.contains(u"<title>"_s)) << page.toStdString();
        EXPECT_TRUE(page == u"index.html" || index.contains(u"href=\""_s + page + u'"'))
            << page.toStdString();
        for (const auto& match : link.globalMatch(text)) {
            EXPECT_TRUE(QFile::exists(u":/help/"_s + match.captured(1)))
                << page.toStdString() << " -> " << match.captured(1).toStdString();
        }
    }
}

TEST(HelpPages, TheWindowShowsThePageAsked) {
    for (const auto& [page, title] : {std::pair{QString(), u"Veltro Adressbuch – Hilfe"_s},
                                      {u"suchfenster.html"_s, u"Das Suchfenster"_s},
                                      {u"gibt-es-nicht.html"_s, QString()}}) {
        veltro::platform::HelpWindow::showPage(page);
        QTextBrowser* browser = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == u"HelpWindow" && widget->isVisible()) {
                browser = widget->findChild<QTextBrowser*>();
            }
        }
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(browser->documentTitle(), title) << page.toStdString();
        EXPECT_EQ(title.isEmpty(), browser->toPlainText().contains(u"keine Hilfeseite"_s));
        browser->window()->close();
    }
}

// Each menu has its line on the main window's page, "Datei: …", which names all its
// entries; the blocks' context menus are named on the page too.
TEST(HelpPages, TheMainWindowPageNamesEveryMenuEntry) {
    QMainWindow window;
    const veltro::mainwindow::MainMenus menus(window);
    const QString page = pageText(u"hauptfenster.html"_s);
    const QStringList lines = page.split(u'\n');
    for (const QAction* bar : window.menuBar()->actions()) {
        const QString title = caption(bar->text());
        const auto line = std::ranges::find_if(
            lines, [&](const QString& l) { return l.trimmed().startsWith(title + u':'); });
        ASSERT_NE(line, lines.end()) << title.toStdString();
        QStringList entries;
        addEntries(*bar->menu(), entries);
        for (const QString& entry : entries) {
            EXPECT_TRUE(line->contains(entry))
                << title.toStdString() << ": " << entry.toStdString();
        }
    }
    QStringList popups;
    addEntries(*menus.menu(u"PopPopUp"_s), popups);
    for (const QString& entry : popups) {
        EXPECT_TRUE(page.contains(entry)) << entry.toStdString();
    }
}

// The options page has a heading for each page of the dialog, in its order, and names its
// groups and ticks.
TEST(HelpPages, TheOptionsPageFollowsTheDialog) {
    const veltro::testing::TestHome home;
    const veltro::options::OptionsDialog dialog(nullptr);
    const auto* tabs = dialog.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    QStringList pages;
    for (int i = 0; i < tabs->count(); ++i) {
        pages << caption(tabs->tabText(i));
    }
    static const QRegularExpression heading(u"<h2>([^<]*)</h2>"_s);
    QStringList headings;
    for (const auto& match : heading.globalMatch(pageHtml(u"optionen.html"_s))) {
        headings << match.captured(1);
    }
    EXPECT_EQ(headings, pages);
    const QString page = pageText(u"optionen.html"_s).simplified();
    for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
        const auto* group = qobject_cast<const QGroupBox*>(widget);
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        const QString name = caption(group ? group->title() : button ? button->text() : QString());
        EXPECT_TRUE(page.contains(name)) << name.toStdString();
    }
}

}  // namespace
