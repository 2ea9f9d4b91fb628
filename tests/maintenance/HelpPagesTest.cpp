#include "TestTools.h"

#include "platform/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace veltro::platform {
namespace {

using namespace Qt::Literals::StringLiterals;

QString pageText(const QString& name) {
    return QString::fromUtf8(veltro::testing::fileBytes(u":/help/"_s + name));
}

QTextBrowser* helpBrowser() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"HelpWindow" && widget->isVisible()) {
            return widget->findChild<QTextBrowser*>();
        }
    }
    return nullptr;
}

// Every window and command of the program has its page, reachable from the contents.
struct Topic {
    const char* page;
    const char* mentions;  // a word the page must explain
};

const Topic kTopics[] = {
    {"hauptfenster.html", "Statusleiste"},
    {"karten.html", "Neue Karte/Adresse"},
    {"kategorien.html", "Umbenennen"},
    {"suchen.html", "Volltextsuche"},
    {"bearbeiten.html", "Möchten Sie alle Änderungen speichern ?"},
    {"formatieren.html", "Text formatieren..."},
    {"drucken.html", "Drucker einrichten"},
    {"etiketten.html", "Serienbrief-Daten exportieren"},
    {"optionen.html", "Mit Suchfenster starten"},
    {"suchfenster.html", "Keine Adresse vorhanden"},
    {"export.html", "Trennzeichen"},
    {"import.html", "Felder zuordnen"},
    {"vcard.html", "X-VELTRO"},
    {"synchronisieren.html", "Was mit dem Server abgeglichen wurde, bleibt auch dann"},
    {"dubletten.html", "Keine Dubletten"},
    {"erste-schritte.html", "Kategorie"},
    {"email.html", "E-Mail-Verbindung herstellen"},
    {"tastatur.html", "Strg+Umschalt+F"},
};

TEST(HelpPagesTest, EveryTopicIsBuiltInAndListed) {
    const QString index = pageText(u"index.html"_s);
    ASSERT_FALSE(index.isEmpty()) << "help pages are not linked into the program";
    for (const Topic& topic : kTopics) {
        const QString page = QString::fromLatin1(topic.page);
        const QString text = pageText(page);
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic.mentions))) << topic.page;
        EXPECT_TRUE(index.contains(u"href=\""_s + page + u'"')) << topic.page;
    }
}

TEST(HelpPagesTest, LinksStayInsideTheHelp) {
    static const QRegularExpression link(u"href=\"([^\"]*)\""_s);
    const QStringList pages = QDir(u":/help"_s).entryList({u"*.html"_s});
    ASSERT_GE(pages.size(), static_cast<qsizetype>(std::size(kTopics)) + 1);
    for (const QString& page : pages) {
        const QString text = pageText(page);
        EXPECT_TRUE(text.contains(u"<title>"_s)) << page.toStdString();
        for (const auto& match : link.globalMatch(text)) {
            const QString target = match.captured(1);
            EXPECT_TRUE(QFile::exists(u":/help/"_s + target))
                << page.toStdString() << " -> " << target.toStdString();
        }
    }
}

TEST(HelpPagesTest, WindowShowsThePageAsked) {
    const struct {
        QString page;
        QString title;
    } cases[] = {
        {QString(), u"Veltro Adressbuch – Hilfe"_s},
        {u"suchfenster.html"_s, u"Das Suchfenster"_s},
        {u"gibt-es-nicht.html"_s, QString()},
    };
    for (const auto& c : cases) {
        HelpWindow::showPage(c.page);
        QTextBrowser* browser = helpBrowser();
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(browser->documentTitle(), c.title) << c.page.toStdString();
        if (c.title.isEmpty()) {
            EXPECT_TRUE(browser->toPlainText().contains(u"keine Hilfeseite"_s));
        }
    }
    helpBrowser()->window()->close();
}

}  // namespace
}  // namespace veltro::platform
