#include "maintenance/FirstStepsDialog.h"

#include "platform/HelpKey.h"
#include "platform/Placement.h"
#include "platform/Platform.h"

#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <vector>

namespace veltro::maintenance {

namespace {

struct Line {
    const char* name;
    QString text;
    bool heading;
};

const std::vector<Line>& lines() {
    static const std::vector<Line> all = {
        {"Label1",
         QStringLiteral("Dieser Assistent erklärt, wie Sie eine Kategorie mit darin enthaltenen "
                        "Karten/Adressen anlegen können. "),
         false},
        {"Label2", QStringLiteral("Erstellen einer Kategorie"), true},
        {"Label3", QStringLiteral("Wählen Sie hierfür   [Kategorie, Neu]."), false},
        {"Label4",
         QStringLiteral("Geben Sie im blauen Eingabefeld den Namen der Kategorie ein und "
                        "bestätigen Sie mit der Eingabetaste."),
         false},
        {"Label5", QStringLiteral("Neue Adresse eingeben:"), true},
        {"Label6",
         QStringLiteral("Nun können Sie eine neue Karte/Adresse in dieser Kategorie "
                        "anlegen."),
         false},
        {"Label7",
         QStringLiteral("Klicken Sie oben in der Menüzeile auf  [Karte,  Neue Karte/Adresse]."),
         false},
        {"Label8",
         QStringLiteral("Geben Sie im erscheinenden Dialog den Kartenkopf (Kartenüberschrift) "
                        "ein. Dies sollte ein aussagefähiger Name sein, der den Inhalt der Karte "
                        "treffend wiedergibt. Sie können hier auch mehrere Schlagworte angeben. "
                        "Bestätigen Sie ihre Angaben mit der Eingabetaste."),
         false},
        {"Label9", QStringLiteral("Fertigstellung"), true},
        {"Label10",
         QStringLiteral("Nun können Sie in der neu angelegten Karte ihre Adressdaten eintragen. "),
         false},
        {"Label11",
         QStringLiteral("Hinweis: Eine Adresse kann nur in einer  KATEGORIE  gespeichert werden. "
                        "Erstellen Sie deshalb zuerst eine Kategorie  (z.B.  mit dem Namen  "
                        "'Privatadressen' oder 'Firmenadressen')."),
         false},
        {"Label12", QStringLiteral("Für weitere Informationen drücken Sie  'F1'."), false},
        {"Label13", QStringLiteral("Diesen Dialog erreichen Sie unter [?,   Erste Schritte]."),
         false},
    };
    return all;
}

}  // namespace

FirstStepsDialog::FirstStepsDialog(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Hilfe Assistent  -   Veltro Adressbuch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    for (const Line& line : lines()) {
        auto* label = new QLabel(line.text, this);
        label->setObjectName(QLatin1String(line.name));
        label->setWordWrap(true);
        if (line.heading) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            layout->addSpacing(8);
        }
        layout->addWidget(label);
    }
    layout->addStretch();
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, [this] { Command1_Click(); });
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    // The dialog promises that F1 explains more.
    platform::setHelpPage(*this, QStringLiteral("erste-schritte.html"));
    // Wrapped labels need their height for the fixed width, or the long ones are cut off.
    constexpr int kWidth = 400;
    setFixedWidth(kWidth);
    setMinimumHeight(layout->totalHeightForWidth(kWidth));
    resize(kWidth, minimumHeight());
}

QStringList FirstStepsDialog::texts() {
    QStringList result;
    for (const Line& line : lines()) {
        result.append(line.text);
    }
    return result;
}

namespace {
QPointer<FirstStepsDialog>& theDialog() {
    static QPointer<FirstStepsDialog> dialog;
    return dialog;
}
}  // namespace

FirstStepsDialog* FirstStepsDialog::current() {
    FirstStepsDialog* dialog = theDialog();
    return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
}

FirstStepsDialog* FirstStepsDialog::open(QWidget* mainWindow) {
    auto& dialog = theDialog();
    if (dialog == nullptr) {
        dialog = new FirstStepsDialog(mainWindow);
    }
    dialog->mainWindow_ = mainWindow;
    dialog->show();
    dialog->placeBeside();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void FirstStepsDialog::placeBeside() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    // This window is not framed yet; the main window's frame is what it will get.
    const QWidget& framed =
        mainWindow_ != nullptr && mainWindow_->isVisible() ? *mainWindow_ : *this;
    const QRect area = screen->availableGeometry();
    move(area.x() + area.width() - width() - platform::frameRoom(framed).width(), y());
    moveMainWindowLeft();
    // A window manager places a window that is not on screen yet by its own rules, so the
    // main window is moved again once it shows.
    QWindow* handle = mainWindow_ != nullptr ? mainWindow_->windowHandle() : nullptr;
    if (handle != nullptr && !handle->isExposed()) {
        handle->installEventFilter(this);
    }
}

void FirstStepsDialog::moveMainWindowLeft() {
    if (mainWindow_ == nullptr) {
        return;
    }
    const QScreen* screen = mainWindow_->screen();
    mainWindow_->move(screen != nullptr ? screen->geometry().x() : 0, mainWindow_->y());
}

bool FirstStepsDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* handle = qobject_cast<QWindow*>(watched);
    if (handle != nullptr && event->type() == QEvent::Expose && handle->isExposed()) {
        handle->removeEventFilter(this);
        moveMainWindowLeft();
    }
    return QDialog::eventFilter(watched, event);
}

void FirstStepsDialog::Command1_Click() {
    close();
}

}  // namespace veltro::maintenance
