#include "import/ImportDialogWidgets.h"

#include "import/SourceColumnList.h"
#include "import/TargetFieldList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace veltro::import {

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* label(const char* name, const QString& text) {
    return named(new QLabel(text), name);
}

QLabel* hint(const char* name, const QString& text) {
    QLabel* hintLabel = label(name, text);
    hintLabel->setWordWrap(true);
    return hintLabel;
}

QGroupBox* frame(const char* name, const QString& title) {
    return named(new QGroupBox(title), name);
}

}  // namespace

ImportDialogWidgets::ImportDialogWidgets(QDialog& dialog) {
    auto* layout = new QVBoxLayout(&dialog);
    buildHeader(dialog);
    auto* header = new QHBoxLayout;
    header->addWidget(Image1, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(Label2);
    for (QLabel* hintLabel : hints) {
        texts->addWidget(hintLabel);
    }
    texts->addStretch();
    header->addLayout(texts, 1);
    layout->addLayout(header);

    pages = {buildFilePage(), buildMappingPage(), buildPreviewPage(), buildFinishPage()};
    for (QGroupBox* page : pages) {
        layout->addWidget(page, 1);
    }

    ProgressBar1 = named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(QStringLiteral("Fortschritt"));
    layout->addWidget(ProgressBar1);

    Command7 = named(new QPushButton(QStringLiteral("<< &Zurück")), "Command7");
    Command8 = named(new QPushButton(QStringLiteral("&Weiter >>")), "Command8");
    Command2 = named(new QPushButton(QStringLiteral("&Abbrechen")), "Command2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command7);
    buttons->addWidget(Command8);
    buttons->addSpacing(12);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    StatusBar1 = named(new QStatusBar, "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setAccessibleName(QStringLiteral("Statuszeile"));
    panel1 = label("Panel1", QString());
    panel1->setAccessibleName(QStringLiteral("Hinweis"));
    StatusBar1->addWidget(panel1, 1);
    layout->addWidget(StatusBar1);
}

void ImportDialogWidgets::buildHeader(QDialog& dialog) {
    Image1 = label("Image1", QString());
    Image1->setPixmap(dialog.style()->standardIcon(QStyle::SP_DialogOpenButton).pixmap(48, 48));
    Image1->setAccessibleName(QStringLiteral("Symbol Import"));
    Label2 = label("Label2", QStringLiteral("Datei importieren"));
    QFont headingFont = Label2->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    Label2->setFont(headingFont);
    hints = {
        hint("Label8", QStringLiteral("Geben Sie im Eingabefeld die Datei an, deren Daten Sie "
                                      "importieren wollen.")),
        hint("Label6",
             QStringLiteral("Ziehen Sie auf das Eingabefeld 'KARTE' einen Eintrag aus der "
                            "Datenquelle, mit dem Sie später diesen Datensatz wiederfinden "
                            "wollen. Dieser Eintrag sollte Schlagworte und Begriffe enthalten.  "
                            "Ziehen Sie dann eventuell weitere Einträge auf ein Eingabefeld um "
                            "diese dem gewählten Eingabefeld zuzuordnen.")),
        hint("Label9", QStringLiteral("Vorschau")),
        hint("Label10", QStringLiteral("Die Einstellungen sind nun komplett. Klicken Sie auf die "
                                       "Schaltfläche 'Fertigstellen'.")),
    };
}

QGroupBox* ImportDialogWidgets::buildFilePage() {
    QGroupBox* page =
        frame("Frame5",
              QStringLiteral("Wählen Sie die Datei aus, deren Daten importiert werden sollen."));
    Label3 = label("Label3", QStringLiteral("Zu importierende &Datei:"));
    Text1 = named(new QLineEdit, "Text1");
    Label3->setBuddy(Text1);
    Command3 = named(new QPushButton(QStringLiteral("Durch&suchen...")), "Command3");
    Label4 = label("Label4", QStringLiteral("Typ:"));
    Label5 = label("Label5", QStringLiteral("Datentyp: "));

    Frame7 = frame("Frame7", QStringLiteral("Format der Quelldatei"));
    Option1 =
        named(new QRadioButton(QStringLiteral("&Trennzeichen zwischen den Daten =")), "Option1");
    Option1->setChecked(true);
    Text3 = named(new QLineEdit(QStringLiteral(";")), "Text3");
    Text3->setAccessibleName(QStringLiteral("Trennzeichen"));
    Text3->setMaximumWidth(Text3->fontMetrics().horizontalAdvance(u'W') * 4);
    Option2 = named(new QRadioButton(QStringLiteral("Trennzeichen = Ta&bulator")), "Option2");
    Check2 =
        named(new QCheckBox(QStringLiteral("Daten sind in &Klammern  \n  gebunden.")), "Check2");
    Check2->setToolTip(QStringLiteral("Anführungszeichen (vor und hinter dem Eintrag)"));
    Check1 = named(new QCheckBox(QStringLiteral("&1. Zeile verwenden.")), "Check1");
    Check1->setChecked(true);
    auto* format = new QGridLayout(Frame7);
    format->addWidget(Option1, 0, 0);
    format->addWidget(Text3, 0, 1, Qt::AlignLeft);
    format->addWidget(Option2, 1, 0);
    format->addWidget(Check2, 2, 0, 1, 2);
    format->addWidget(Check1, 3, 0, 1, 2);
    format->setColumnStretch(1, 1);

    Frame8 = frame("Frame8", QStringLiteral("Tabellenname in der Quelldatenbank"));
    Combo1 = named(new QComboBox, "Combo1");
    Combo1->setAccessibleName(QStringLiteral("Tabellenname"));
    (new QVBoxLayout(Frame8))->addWidget(Combo1);

    auto* grid = new QGridLayout(page);
    grid->addWidget(Label3, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Command3, 0, 2);
    grid->addWidget(Label4, 1, 0);
    grid->addWidget(Label5, 1, 1, 1, 2);
    grid->addWidget(Frame7, 2, 0, 1, 3);
    grid->addWidget(Frame8, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    return page;
}

QGroupBox* ImportDialogWidgets::buildMappingPage() {
    QGroupBox* page = frame("Frame3", QStringLiteral("Felder zuordnen"));
    QGroupBox* targets = frame("Frame1", QStringLiteral("Nach:   Veltro Adressbuch"));
    ListView2 = named(new TargetFieldList, "ListView2");
    ListView2->setAccessibleName(QStringLiteral("Felder des Adressbuchs"));
    (new QVBoxLayout(targets))->addWidget(ListView2);
    QGroupBox* sources = frame("Frame2", QStringLiteral("Von:   Import-Datei"));
    ListView3 = named(new SourceColumnList, "ListView3");
    ListView3->setAccessibleName(QStringLiteral("Spalten der Import-Datei"));
    (new QVBoxLayout(sources))->addWidget(ListView3);
    auto* lists = new QHBoxLayout;
    lists->addWidget(targets, 3);
    lists->addWidget(sources, 2);

    Command4 = named(new QPushButton(QStringLiteral("A&uswahl löschen")), "Command4");
    Command6 = named(new QPushButton(QStringLiteral("A&lle löschen")), "Command6");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(label("Label7", QStringLiteral("Zuordnungen:")));
    buttons->addWidget(Command4);
    buttons->addWidget(Command6);
    buttons->addStretch();

    Label14 = hint("Label14", QString());
    Label14->setVisible(false);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(lists, 1);
    layout->addWidget(Label14);
    layout->addLayout(buttons);
    return page;
}

QGroupBox* ImportDialogWidgets::buildPreviewPage() {
    QGroupBox* page = frame("Frame6", QStringLiteral("Vorschau"));
    ListView1 = named(new QTreeView, "ListView1");
    ListView1->setAccessibleName(QStringLiteral("Vorschau"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAlternatingRowColors(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->header()->setStretchLastSection(false);
    (new QVBoxLayout(page))->addWidget(ListView1);
    return page;
}

QGroupBox* ImportDialogWidgets::buildFinishPage() {
    QGroupBox* page = frame("Frame4", QStringLiteral("Fertigstellen"));
    QLabel* action = hint("Label11", QStringLiteral("Um die Daten in das Veltro Adressbuch "
                                                    "einzulesen, klicken Sie auf 'Fertigstellen'"));
    QLabel* numbering = hint(
        "Label12", QStringLiteral("Mehrfach vorkommende gleichlautende Kartennamen erhalten zur "
                                  "Kennzeichnung eine Nummer die am Ende angehängt wird. z.B.  "
                                  "'Neuer Eintrag_1'."));
    Command1 = named(new QPushButton(QStringLiteral("&Fertigstellen")), "Command1");
    Label13 = hint("Label13", QString());
    Label13->setVisible(false);
    Command9 = named(new QPushButton(QStringLiteral("&Doppelte Karten anzeigen…")), "Command9");
    Command9->setVisible(false);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(action);
    layout->addWidget(numbering);
    layout->addWidget(Command1, 0, Qt::AlignLeft);
    layout->addWidget(Label13);
    layout->addWidget(Command9, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

}  // namespace veltro::import
