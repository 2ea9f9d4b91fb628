#include "maintenance/AssignCategoryDialog.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"

#include "maintenance/CardOperations.h"
#include "platform/Platform.h"
#include "store/StoreError.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace veltro::maintenance {

namespace {

QLabel* namedLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

}  // namespace

AssignCategoryDialog::AssignCategoryDialog(const std::filesystem::path& storeFile,
                                           const QString& heading, QWidget* parent)
    : QDialog(parent), heading_(heading) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Karte ändern"));
    platform::setHelpPage(*this, QStringLiteral("kategorien.html"));
    setModal(true);
    buildUi();
    try {
        store_.emplace(store::CardStore::openForReading(storeFile));
        loadCategories();
        findCard();
    } catch (const store::StoreError&) {
        // The dialog opens with what could be read.
    }
    if (ListView1_->topLevelItemCount() > 0) {
        ListView1_->setCurrentItem(ListView1_->topLevelItem(0));
    }
    showMove();
    StatusBar1_->showMessage(
        QStringLiteral("Anzahl Kategorien: %1").arg(ListView1_->topLevelItemCount()));
}

void AssignCategoryDialog::buildUi() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(namedLabel(
        QStringLiteral("In diesem Dialog können Sie einer Karte eine andere Kategorie zuweisen."),
        "Label9", this));
    layout->addWidget(
        namedLabel(QStringLiteral("Wählen sie hierzu eine Kategorie aus der Liste aus. "
                                  "Klicken Sie anschließend auf die Schaltfläche "
                                  "'Zuweisen'."),
                   "Label1", this));
    auto* cardLine = new QHBoxLayout();
    Label3_ = namedLabel(QStringLiteral("Karte"), "Label3", this);
    Label5_ = namedLabel(QString(), "Label5", this);
    QFont bold = Label5_->font();
    bold.setBold(true);
    Label5_->setFont(bold);
    cardLine->addWidget(Label3_);
    cardLine->addWidget(Label5_, 1);
    layout->addLayout(cardLine);

    ListView1_ = new QTreeWidget(this);
    ListView1_->setObjectName(QStringLiteral("ListView1"));
    ListView1_->setAccessibleName(QStringLiteral("Kategorien"));
    ListView1_->setHeaderLabels({QStringLiteral("Kategorien  ")});
    ListView1_->setRootIsDecorated(false);
    ListView1_->setSortingEnabled(false);
    ListView1_->header()->setSectionsClickable(true);
    connect(ListView1_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1_->sortItems(column, Qt::AscendingOrder); });
    connect(ListView1_, &QTreeWidget::currentItemChanged, this, [this] { showMove(); });
    layout->addWidget(ListView1_, 1);

    layout->addWidget(
        namedLabel(QStringLiteral("Alte Kategorie -> Neue Kategorie"), "Label7", this));
    Label4_ = namedLabel(QString(), "Label4", this);
    Label4_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(Label4_);
    layout->addWidget(namedLabel(QStringLiteral("Wählen Sie aus der Liste die neue Kategorie aus."),
                                 "Label6", this));

    auto* buttons = new QHBoxLayout();
    auto* assign = new QPushButton(QStringLiteral("&Zuweisen"), this);
    assign->setObjectName(QStringLiteral("Command5"));
    assign->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    connect(assign, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { Command1_Click(); });
    buttons->addStretch(1);
    buttons->addWidget(assign);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    StatusBar1_ = new QStatusBar(this);
    StatusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1_->setSizeGripEnabled(false);
    layout->addWidget(StatusBar1_);
    platform::resizeWithin(*this, {420, 440});
}

void AssignCategoryDialog::loadCategories() {
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : store_->categories()) {
        auto* item = new QTreeWidgetItem(ListView1_, {name});
        item->setIcon(0, icon);
    }
}

void AssignCategoryDialog::findCard() {
    const auto id = cardWithHeading(*store_, heading_);
    const auto card = id ? store_->loadCard(*id) : std::nullopt;
    if (!card) {
        return;
    }
    Label3_->setText(QStringLiteral("Karte: "));
    Label5_->setText(heading_);
    oldCategory_ = card->text(store::Field::Kategorien);
    Label4_->setText(oldCategory_);
}

void AssignCategoryDialog::showMove() {
    const QTreeWidgetItem* item = ListView1_->currentItem();
    if (item != nullptr) {
        Label4_->setText(oldCategory_ + QStringLiteral(" -> ") + item->text(0));
    }
}

void AssignCategoryDialog::Command5_Click() {
    const QTreeWidgetItem* item = ListView1_->currentItem();
    const QString chosen = item != nullptr ? item->text(0) : QString();
    if (chosen.isEmpty()) {
        platform::current().beep();
        platform::current().message({QStringLiteral("Wählen Sie bitte eine Kategorie aus!"),
                                     QStringLiteral("Keine Kategorie gewählt !"),
                                     platform::Buttons::Ok, platform::Icon::Exclamation, 0});
        return;
    }
    chosen_ = chosen;
    accept();
}

void AssignCategoryDialog::Command1_Click() {
    reject();
}

}  // namespace veltro::maintenance
