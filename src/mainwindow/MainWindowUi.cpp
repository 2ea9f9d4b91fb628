#include "mainwindow/MainWindowUi.h"

#include "platform/WidgetTools.h"

#include "mainwindow/ClickLabel.h"
#include "mainwindow/ElidingLabel.h"
#include "mainwindow/ExtrasPanel.h"
#include "mainwindow/PhotoBox.h"
#include "mainwindow/PreferredWidth.h"
#include "platform/Twips.h"
#include "richtext/RichTextBlock.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace veltro::mainwindow {

using platform::named;

namespace {

QLabel* caption(MainWindowUi& ui, int number, const QString& text, QWidget* parent) {
    auto* label = named(new QLabel(text, parent),
                        QStringLiteral("Label%1").arg(number).toLatin1().constData());
    ui.label.at(number) = label;
    return label;
}

// Keeps a box showing the start of its text while the user is elsewhere: a long phone number
// or town shows how it begins, not how it ends.
class ShowsStart final : public QObject {
public:
    explicit ShowsStart(QLineEdit* box) : QObject(box), box_(box) {
        // Text the program puts in (which clears the modified flag), not what is typed.
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!box_->hasFocus() && !box_->isModified()) {
                box_->setCursorPosition(0);
            }
        });
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            // Not when a menu or another window takes the focus: the user comes back to
            // the same place.
            const auto reason = static_cast<const QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason) {
                box_->setCursorPosition(0);
            }
        }
        return false;
    }

private:
    QLineEdit* box_;
};

// Keeps a scrolled column wide enough for what it scrolls: entries added later may need more
// room than the column had, and a cut box would hide what is typed into it.
class FitsContent final : public QObject {
public:
    FitsContent(QScrollArea* scroll, QWidget* column) : QObject(column), scroll_(scroll) {
        scroll->widget()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) {
            auto* column = static_cast<QWidget*>(parent());
            const int needed = scroll_->widget()->minimumSizeHint().width() +
                               scroll_->verticalScrollBar()->sizeHint().width() +
                               2 * scroll_->frameWidth() + column->contentsMargins().left();
            column->setMinimumWidth(std::max(column->minimumWidth(), needed));
        }
        return false;
    }

private:
    QScrollArea* scroll_;
};

QLineEdit* fieldBox(MainWindowUi& ui, int number, QWidget* parent) {
    auto* box = new PreferredWidth<QLineEdit>(parent);
    box->setPreferredWidth(platform::twipsToPixels(kFieldBoxTwips, *ui.Picture1));
    box->setObjectName(QStringLiteral("Text%1").arg(number));
    // However small the window, a box shows the first eight characters of a name or number.
    const QFontMetrics metrics = box->fontMetrics();
    box->setMinimumWidth(box->minimumSizeHint().width() - metrics.maxWidth() +
                         metrics.horizontalAdvance(QStringLiteral("Mönchen0")));
    new ShowsStart(box);  // child of the box
    ui.text.at(number) = box;
    return box;
}

// One labelled field box at (row, column) of the field grid; spans columns to its right.
void placeField(MainWindowUi& ui, QGridLayout* grid, int row, int column, int labelNumber,
                const QString& text, int boxNumber, int span = 1) {
    auto* label = caption(ui, labelNumber, text, grid->parentWidget());
    auto* box = fieldBox(ui, boxNumber, grid->parentWidget());
    label->setBuddy(box);
    grid->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(box, row, column + 1, 1, span);
}

QGridLayout* buildFieldGrid(MainWindowUi& ui, QWidget* area) {
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);
    placeField(ui, grid, 0, 0, 21, QStringLiteral("Anrede"), 18);
    placeField(ui, grid, 0, 2, 1, QStringLiteral("Vorname"), 2);
    placeField(ui, grid, 0, 4, 9, QStringLiteral("Nachname"), 7, 3);
    placeField(ui, grid, 1, 0, 10, QStringLiteral("Firma"), 8, 3);
    placeField(ui, grid, 1, 4, 11, QStringLiteral("Abteilung"), 9, 3);
    placeField(ui, grid, 2, 0, 12, QStringLiteral("Straße"), 10, 3);
    placeField(ui, grid, 2, 4, 13, QStringLiteral("Plz"), 11);
    placeField(ui, grid, 2, 6, 14, QStringLiteral("Ort"), 12);
    placeField(ui, grid, 3, 0, 16, QStringLiteral("Vorwahl"), 14);
    placeField(ui, grid, 3, 2, 2, QStringLiteral("Tel"), 3);
    placeField(ui, grid, 3, 4, 3, QStringLiteral("Fax"), 4);
    placeField(ui, grid, 3, 6, 4, QStringLiteral("Mobil"), 5);
    placeField(ui, grid, 4, 0, 19, QStringLiteral("E-Mail"), 17, 3);
    placeField(ui, grid, 4, 4, 17, QStringLiteral("Webseite"), 15, 3);
    placeField(ui, grid, 5, 0, 15, QStringLiteral("Nr."), 13);
    ui.Command7 = named(new QPushButton(QStringLiteral("@"), grid->parentWidget()), "Command7");
    ui.Command7->setToolTip(QStringLiteral("Adresse mit eMail / Internet verbinden"));
    // Launching reads the focused box, so the button must not take the focus.
    ui.Command7->setFocusPolicy(Qt::NoFocus);
    ui.Command7->setFixedWidth(ui.Command7->fontMetrics().horizontalAdvance(QStringLiteral("@@@")) +
                               16);
    grid->addWidget(ui.Command7, 4, 8);
    // The photo takes the room beside the number that the grid leaves free anyway.
    ui.Foto = new PhotoBox(grid->parentWidget());
    grid->addWidget(ui.Foto, 5, 2, 2, 2, Qt::AlignLeft | Qt::AlignTop);
    for (int column : {1, 3, 5, 7}) {
        grid->setColumnStretch(column, 1);
    }
    ui.box(13)->setMaximumWidth(90);
    ui.box(11)->setMaximumWidth(80);
    (void)area;
    return grid;
}

QVBoxLayout* buildAddressColumn(MainWindowUi& ui, QWidget* area) {
    auto* column = new QVBoxLayout();
    auto* header = new QHBoxLayout();
    ui.addressHeader = header;
    caption(ui, 5, QStringLiteral("Anschrift"), area);
    caption(ui, 23, QString(), area);  // band behind the caption
    ui.label[23]->setFrameShape(QFrame::NoFrame);
    header->addWidget(ui.label[5]);
    header->addStretch(1);
    ui.Command4 = named(new QPushButton(QStringLiteral("Anschrift erstellen"), area), "Command4");
    ui.Command4->setToolTip(QStringLiteral("Anschrift aus Eingabefelder erstellen."));
    ui.Command5 = named(new QPushButton(QStringLiteral("Kopieren"), area), "Command5");
    ui.Command5->setToolTip(QStringLiteral("Kopiert Adresse in die Zwischenablage."));
    // In a narrow window the buttons stand one above the other (see MainWindowLayout), so
    // they do not decide how narrow the column may be.
    for (QPushButton* button : {ui.Command4, ui.Command5}) {
        button->setMinimumWidth(1);
        header->addWidget(button);
    }
    column->addLayout(header);
    ui.RichTextBox1 = named(new richtext::RichTextBlock(area), "RichTextBox1");
    ui.label[5]->setBuddy(ui.RichTextBox1);
    ui.RichTextBox1->setMinimumHeight(120);
    column->addWidget(ui.RichTextBox1, 1);
    return column;
}

QHBoxLayout* buildSearchRow(MainWindowUi& ui, QWidget* area) {
    auto* row = new QHBoxLayout();
    caption(ui, 18, QStringLiteral("Kategorie"), area);
    ui.Combo1 = named(new QComboBox(area), "Combo1");
    ui.Combo1->setMinimumWidth(150);
    ui.label[18]->setBuddy(ui.Combo1);
    ui.text[19] = named(new QLineEdit(area), "Text19");
    ui.text[19]->setAccessibleName(QStringLiteral("Name der neuen Kategorie"));
    ui.text[19]->setVisible(false);  // takes the selector's place while a category is named
    // Its right edge follows the card list's (see the list splitter).
    ui.Text1 = named(new PreferredWidth<QLineEdit>(area), "Text1");
    ui.Text1->setToolTip(QStringLiteral("Suchfeld"));
    ui.Text1->setAccessibleName(QStringLiteral("Suchen"));
    ui.Text1->setAccessibleDescription(
        QStringLiteral("Zeigt die Karten, deren Überschrift den Text enthält."));
    ui.Text1->setPlaceholderText(QStringLiteral("Suchen …"));
    ui.Label8 = named(new ClickLabel(QStringLiteral("✕"), area), "Label8");
    ui.label[8] = ui.Label8;
    ui.Label8->setToolTip(QStringLiteral("Suchfeld löschen"));
    ui.Label8->setAccessibleName(ui.Label8->toolTip());
    ui.Label8->setCursor(Qt::PointingHandCursor);
    caption(ui, 22, QString(), area);  // band over the notes column
    caption(ui, 20, QStringLiteral("Volltextsuche "), area);
    ui.Text16 = named(new QLineEdit(area), "Text16");
    ui.Text16->setToolTip(QStringLiteral("Sucht in allen Feldern und Kategorien."));
    ui.label[20]->setBuddy(ui.Text16);
    row->addWidget(ui.label[18]);
    row->addWidget(ui.Combo1);
    row->addWidget(ui.text[19]);
    row->addWidget(ui.Text1);
    row->addWidget(ui.Label8);
    row->addSpacing(16);
    row->addWidget(ui.label[20]);
    row->addWidget(ui.Text16, 1);
    return row;
}

QVBoxLayout* buildNotesColumn(MainWindowUi& ui, QWidget* area) {
    auto* notes = new QVBoxLayout();
    // It names the card; a long heading ends in "…" rather than widen the column.
    ui.label[6] = named(new ElidingLabel(QStringLiteral("Notizen zu:  "), area), "Label6");
    ui.label[6]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui.RichTextBox2 = named(new richtext::RichTextBlock(area), "RichTextBox2");
    // Readers name the block after the card, as the caption does.
    ui.label[6]->setBuddy(ui.RichTextBox2);
    ui.Command6 = named(new QPushButton(QStringLiteral("Notizen kopieren"), area), "Command6");
    auto* header = new QHBoxLayout();
    header->addWidget(ui.label[6], 1);
    header->addWidget(ui.Command6);
    notes->addLayout(header);
    notes->addWidget(ui.RichTextBox2, 1);
    return notes;
}

// Beside the notes, shown on demand: the card's layout above stays as it is, and the column
// scrolls rather than making the window taller.
QWidget* buildExtrasColumn(MainWindowUi& ui, QWidget* area) {
    auto* column = new PreferredWidth<QWidget>(area);
    column->setObjectName(QStringLiteral("WeitereAngaben"));
    column->setPreferredWidth(platform::twipsToPixels(kExtrasTwips, *area));
    column->setMinimumWidth(platform::twipsToPixels(kExtrasTwips * 0.7, *area));
    column->setAccessibleName(QStringLiteral("Weitere Angaben"));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(6, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("Weitere Angaben"), column);
    caption->setObjectName(QStringLiteral("LabelWeitereAngaben"));
    layout->addWidget(caption);
    auto* scroll = new QScrollArea(column);
    scroll->setObjectName(QStringLiteral("WeitereAngabenRollen"));
    scroll->setAccessibleName(QStringLiteral("Weitere Angaben (rollbar)"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui.extras = new ExtrasPanel(scroll);
    ui.extras->setObjectName(QStringLiteral("ExtrasPanel"));
    scroll->setWidget(ui.extras);
    new FitsContent(scroll, column);  // child of the column
    layout->addWidget(scroll, 1);
    ui.WeitereAngaben = column;
    column->setVisible(false);
    return column;
}

QHBoxLayout* buildListRow(MainWindowUi& ui, QWidget* area) {
    auto* row = new QHBoxLayout();
    row->setSpacing(0);  // the splitter band is the gap
    auto* list = named(new PreferredWidth<CardListView>(area), "List1");
    list->setPreferredWidth(platform::twipsToPixels(kListWidthTwips, *area));
    list->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    ui.List1 = list;
    ui.List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.List1->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.List1->setContextMenuPolicy(Qt::CustomContextMenu);
    ui.List1->setMouseTracking(true);
    caption(ui, 7, QString(), area);  // band of the list splitter
    ui.label[7]->setAccessibleName(QStringLiteral("Breite der Kartenliste (ziehen)"));
    ui.label[7]->setFixedWidth(platform::twipsToPixels(kListGapTwips, *area));
    ui.label[7]->setCursor(Qt::SplitHCursor);
    // The drag bar floats above the layout; the splitter moves it.
    ui.Text6 = named(new QFrame(area), "Text6");
    ui.Text6->setFrameShape(QFrame::VLine);
    ui.Text6->setVisible(false);
    ui.Text6->setAccessibleName(QStringLiteral("Neue Breite der Kartenliste"));
    // The list keeps the width the splitter gave it; the notes column takes the rest.
    row->addWidget(ui.List1);
    row->addWidget(ui.label[7]);
    row->addLayout(buildNotesColumn(ui, area), 1);
    row->addWidget(buildExtrasColumn(ui, area));
    return row;
}

QHBoxLayout* buildButtonRow(MainWindowUi& ui, QWidget* area) {
    auto* row = new QHBoxLayout();
    ui.Command1 = named(new QPushButton(QStringLiteral("Neue Karte"), area), "Command1");
    ui.Command3 = named(new QPushButton(QStringLiteral("Karte löschen"), area), "Command3");
    ui.Command2 = named(new QPushButton(QStringLiteral("speichern"), area), "Command2");
    row->addWidget(ui.Command1);
    row->addWidget(ui.Command3);
    row->addStretch(1);
    row->addWidget(ui.Command2);
    return row;
}

void buildStatusBar(QMainWindow& window, MainWindowUi& ui) {
    ui.StatusBar1 = named(new QStatusBar(&window), "StatusBar1");
    ui.StatusBar1->setAccessibleName(QStringLiteral("Statuszeile"));
    for (int i = 1; i <= 4; ++i) {
        ui.panel.at(i) = named(new QLabel(ui.StatusBar1),
                               QStringLiteral("Panel%1").arg(i).toLatin1().constData());
        ui.panel[i]->setMinimumWidth(i == 1 ? 40 : 160);
        ui.StatusBar1->addWidget(ui.panel[i], i == 4 ? 1 : 0);
    }
    // The panels say what they show; the first and the last are often blank.
    ui.panel[1]->setAccessibleName(QStringLiteral("Hinweis"));
    ui.panel[4]->setAccessibleName(QStringLiteral("Meldung"));
    window.setStatusBar(ui.StatusBar1);
}

}  // namespace

void buildMainWindowUi(QMainWindow& window, MainWindowUi& ui) {
    ui.Picture1 = named(new QWidget(&window), "Picture1");
    ui.Picture1->setAutoFillBackground(true);
    ui.Picture1->setAccessibleName(QStringLiteral("Karteikarte"));
    ui.Image2 = named(new QLabel(ui.Picture1), "Image2");
    ui.Image2->setVisible(false);
    ui.Image2->setAccessibleName(QStringLiteral("Hintergrundbild"));
    ui.Image2->setScaledContents(true);
    ui.Image2->lower();

    auto* upper = new QHBoxLayout();
    auto* fieldColumn = new QVBoxLayout();
    fieldColumn->addLayout(buildFieldGrid(ui, ui.Picture1));
    fieldColumn->addStretch(1);
    fieldColumn->addLayout(buildButtonRow(ui, ui.Picture1));
    // The boxes keep their preferred widths (the layout step widens them with the window);
    // the address block takes the rest.
    upper->addLayout(fieldColumn);
    upper->addSpacing(12);
    upper->addLayout(buildAddressColumn(ui, ui.Picture1), 1);

    auto* main = new QVBoxLayout(ui.Picture1);
    main->setContentsMargins(8, 8, 8, 4);
    main->addLayout(upper);
    main->addSpacing(6);
    main->addLayout(buildSearchRow(ui, ui.Picture1));
    main->addLayout(buildListRow(ui, ui.Picture1), 1);
    window.setCentralWidget(ui.Picture1);
    buildStatusBar(window, ui);
    // The bands over the notes column and the address block are not needed with layouts.
    for (int band : {22, 23}) {
        ui.label[band]->setVisible(false);
        ui.label[band]->setAccessibleName(QStringLiteral("Hintergrundband"));
    }
}

}  // namespace veltro::mainwindow
