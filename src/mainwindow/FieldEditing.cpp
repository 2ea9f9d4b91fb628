#include "mainwindow/MainWindow.h"
#include "store/LikePattern.h"
#include "store/StoreError.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace veltro::mainwindow {

namespace {

bool flagsOnFocus(int box) {
    return box == 2 || box == 3 || box == 4 || box == 5 || box == 7;
}

bool flagsOnKey(int box) {
    return (box >= 9 && box <= 15) || box == 17 || box == 18 || box == 19;
}

bool swallowsEnter(int box) {
    return box == 15 || box == 17 || box == 19;
}

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// Only space characters at the start go; tabs and inner or trailing blanks stay.
QString withoutLeadingBlanks(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ') {
        ++start;
    }
    return text.mid(start);
}

}  // namespace

int MainWindow::fieldBoxNumber(const QObject* watched) const {
    for (int number = 2; number <= 19; ++number) {
        if (ui_.box(number) == watched) {
            return number;
        }
    }
    return 0;
}

bool MainWindow::fieldBoxEvent(int number, QEvent* event) {
    QLineEdit* box = ui_.box(number);
    switch (event->type()) {
        case QEvent::FocusIn:
            if (number == 18 && box->text().isEmpty()) {
                salutationArmed_ = true;
            }
            if (number != 19) {
                if (const QString trimmed = withoutLeadingBlanks(box->text());
                    trimmed != box->text()) {
                    box->setText(trimmed);
                }
            }
            if (flagsOnFocus(number)) {
                changeFlag_ = true;
            }
            return false;
        case QEvent::FocusOut:
            if (number == 19) {
                Text19_Confirm();
                return false;
            }
            Command2_Click();
            if (number == 11) {
                Text11_LostFocus();
            }
            return false;
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (flagsOnKey(number) && (!key->text().isEmpty() || key->key() == Qt::Key_Backspace)) {
                changeFlag_ = true;
            }
            if (number == 19 && isEnter(*key)) {
                Text19_Confirm();
            }
            return swallowsEnter(number) && isEnter(*key);
        }
        default:
            return false;
    }
}

void MainWindow::Text18_Change() {
    if (!salutationArmed_) {
        return;
    }
    salutationArmed_ = false;
    if (showingCard_) {
        return;  // showing a card disarms without completing
    }
    QLineEdit* box = ui_.box(18);
    const QString text = box->text();
    const QChar first = text.isEmpty() ? QChar() : text.front().toLower();
    if (first == u'h') {
        box->setText(QStringLiteral("Herr"));
    } else if (first == u'f') {
        box->setText(QStringLiteral("Frau"));
    }
}

void MainWindow::Text11_LostFocus() {
    const QString postcode = ui_.box(11)->text();
    if (postcode.isEmpty() || !store_) {
        return;
    }
    try {
        // The typed postcode is literal text: "*" or "'" in it are ordinary characters.
        auto stmt = store_->db().prepare(
            "SELECT Ort FROM Kontakte WHERE Schlagworte IS NOT NULL AND Postleitzahl LIKE ?1 "
            "ORDER BY rowid LIMIT 1");
        stmt.bind(1, u'*' + store::LikePattern::escapeLiteral(postcode) + u'*');
        if (stmt.step()) {
            ui_.box(12)->setText(stmt.textOrEmpty(0));
        }
    } catch (const store::StoreError&) {
        // The town box keeps its text.
    }
}

}  // namespace veltro::mainwindow
