#include "options/OptionsDialog.h"
#include "platform/HelpKey.h"

#include "platform/WidgetTools.h"

#include "options/BackgroundPicture.h"
#include "options/MarginFrame.h"
#include "options/SchemePreview.h"
#include "platform/Platform.h"
#include "platform/TellFailure.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace veltro::options {

namespace key = settings::key;

using platform::named;
using platform::setRole;

namespace {

struct CheckOption {
    int number;
    const char* key;
    const char* caption;
};

// In the order the dialog stores them.
constexpr CheckOption kChecks[] = {
    {1, key::OPChk1, "H&intergrundbild"},
    {2, key::OPChk2, "Mit &Suchfenster starten"},
    {3, key::OPChk3, "Letzte Fenster&größe wiederherstellen"},
    {4, key::OPChk4, "Nach dem Beenden des Suchfensters Adressbuch &wieder aktivieren"},
    {5, key::OPChk5, "Mit zuletzt aktiver &Kategorie starten"},
    {6, key::OPChk6, "Eingangs&bild zeigen"},
};

double sizeOf(const QFont& font) {
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

// Each key on its own: a key that is empty keeps what the font had.
QFont readFont(QFont font, const char* face, const char* size, const char* bold,
               const char* italic) {
    if (const QString name = settings::read(face); !name.isEmpty()) {
        font.setFamily(name);
    }
    if (const auto points = settings::number(size)) {
        font.setPointSizeF(*points);
    }
    if (const auto b = settings::readBool(bold)) {
        font.setBold(*b);
    }
    if (const auto i = settings::readBool(italic)) {
        font.setItalic(*i);
    }
    return font;
}

int readWhole(const char* keyName) {
    return static_cast<int>(std::lround(settings::number(keyName).value_or(0)));
}

QString describe(const QFont& font) {
    QString text = QStringLiteral("%1, %2 pt").arg(font.family(), QLocale().toString(sizeOf(font)));
    if (font.bold()) {
        text += QStringLiteral(", fett");
    }
    if (font.italic()) {
        text += QStringLiteral(", kursiv");
    }
    return text;
}

QLabel* fontSample(const char* name, QWidget* parent) {
    auto* sample = named(new QLabel(QStringLiteral("Beispieltext"), parent), QLatin1String(name));
    sample->setFrameShape(QFrame::StyledPanel);
    sample->setFrameShadow(QFrame::Sunken);
    sample->setAutoFillBackground(true);
    sample->setAlignment(Qt::AlignCenter);
    sample->setFixedHeight(46);
    sample->setMinimumWidth(220);
    return sample;
}

}  // namespace

OptionsDialog::OptionsDialog(QWidget* cardList, QWidget* parent)
    : QDialog(parent), cardList_(cardList) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Optionen"));
    platform::setHelpPage(*this, QStringLiteral("optionen.html"));
    setModal(false);
    sampleDesignFont_ = QFont(QApplication::font().family(), 10);
    cardListBase_ = cardList != nullptr ? cardList->font() : QApplication::font();
    buildUi();
    Einstellungen();
}

void OptionsDialog::buildUi() {
    auto* layout = new QVBoxLayout(this);
    auto* intro =
        named(new QLabel(QStringLiteral("In diesem Dialog können Sie alle Programmeinstellungen "
                                        "vornehmen."),
                         this),
              QStringLiteral("Label6"));
    intro->setWordWrap(true);
    setAccessibleDescription(intro->text());  // read out as the dialog opens
    layout->addWidget(intro);

    TabStrip1_ = named(new QTabWidget(this), QStringLiteral("TabStrip1"));
    TabStrip1_->addTab(buildGeneralTab(), QStringLiteral("Allgem&ein"));
    TabStrip1_->addTab(buildColourTab(), QStringLiteral("&Farben"));
    TabStrip1_->addTab(buildFontTab(), QStringLiteral("Sc&hrift"));
    auto* printPage = new QWidget(TabStrip1_);
    auto* printLayout = new QVBoxLayout(printPage);
    margins_ = new MarginFrame(printPage);
    printLayout->addWidget(margins_);
    auto* senderLabel = new QLabel(QStringLiteral("&Rücksendeangabe auf Umschlägen:"), printPage);
    senderLine_ = named(new QLineEdit(printPage), QStringLiteral("txtRuecksendeangabe"));
    senderLine_->setPlaceholderText(
        QStringLiteral("z. B. Max Muster · Hauptstraße 1 · 96047 Bamberg"));
    senderLine_->setMaxLength(200);
    senderLabel->setBuddy(senderLine_);
    printLayout->addWidget(senderLabel);
    printLayout->addWidget(senderLine_);
    printLayout->addStretch(1);
    TabStrip1_->addTab(printPage, QStringLiteral("&Drucken"));
    connect(TabStrip1_, &QTabWidget::currentChanged, this, [this] { TabStrip1_Click(); });
    layout->addWidget(TabStrip1_);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = named(new QPushButton(QStringLiteral("&OK"), this), QStringLiteral("Command1"));
    auto* cancel =
        named(new QPushButton(QStringLiteral("&Abbrechen"), this), QStringLiteral("Command2"));
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    connect(ok, &QPushButton::clicked, this, [this] {
        platform::runGuarded(QStringLiteral("Optionen"), [this] { Command1_Click(); });
    });
    connect(cancel, &QPushButton::clicked, this, [this] { Command2_Click(); });
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* OptionsDialog::buildGeneralTab() {
    auto* page = new QWidget(this);
    auto* frame =
        named(new QGroupBox(QStringLiteral("Einstellungen"), page), QStringLiteral("Frame1"));
    for (const CheckOption& option : kChecks) {
        check_.at(option.number) = named(new QCheckBox(QString::fromUtf8(option.caption), frame),
                                         QStringLiteral("Check%1").arg(option.number));
    }
    auto* start = new QGroupBox(QStringLiteral("Startbedingungen"), frame);
    auto* startLayout = new QVBoxLayout(start);
    for (int number : {6, 5, 2, 3}) {
        startLayout->addWidget(check_.at(number));
    }
    startLayout->addLayout(buildBirthdayRow(start));
    auto* search = new QGroupBox(QStringLiteral("Suchfenster"), frame);
    (new QVBoxLayout(search))->addWidget(check_[4]);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(start);
    frameLayout->addWidget(search);
    frameLayout->addWidget(buildBackupGroup(frame));
    frameLayout->addStretch(1);
    (new QVBoxLayout(page))->addWidget(frame);
    return page;
}

// "Geburtstage beim Start zeigen, wenn einer in den nächsten [7] Tagen liegt"
QLayout* OptionsDialog::buildBirthdayRow(QWidget* parent) {
    birthdaysAtStart_ = named(
        new QCheckBox(QStringLiteral("Geb&urtstage beim Start zeigen, wenn einer in den nächsten"),
                      parent),
        key::GeburtstageZeigen);
    const auto& range = settings::setting(key::GeburtstageTage);
    birthdayDays_ = named(new QSpinBox(parent), key::GeburtstageTage);
    birthdayDays_->setRange(static_cast<int>(range.low), static_cast<int>(range.high));
    birthdayDays_->setAccessibleName(QStringLiteral("Tage bis zum Geburtstag"));
    birthdayDays_->setEnabled(false);
    connect(birthdaysAtStart_, &QCheckBox::toggled, birthdayDays_, &QWidget::setEnabled);
    auto* row = new QHBoxLayout();
    row->addWidget(birthdaysAtStart_);
    row->addWidget(birthdayDays_);
    row->addWidget(new QLabel(QStringLiteral("Tagen liegt"), parent));
    row->addStretch(1);
    return row;
}

QWidget* OptionsDialog::buildBackupGroup(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("Sicherungen"), parent);
    const auto spin = [group](const char* key) {
        const auto& range = settings::setting(key);
        auto* box = named(new QSpinBox(group), key);
        box->setRange(static_cast<int>(range.low), static_cast<int>(range.high));
        return box;
    };
    keepLast_ = spin(key::SicherungenLetzte);
    keepMonths_ = spin(key::SicherungenMonate);
    auto* layout = new QFormLayout(group);
    layout->addRow(QStringLiteral("Die &letzten Sicherungen behalten:"), keepLast_);
    layout->addRow(QStringLiteral("Dazu je &Monat eine, für Monate:"), keepMonths_);
    return group;
}

QWidget* OptionsDialog::buildColourTab() {
    auto* page = new QWidget(this);
    auto* frame = named(new QGroupBox(QStringLiteral("Farben und Hintergrund"), page),
                        QStringLiteral("Frame2"));
    auto* schemes = new QVBoxLayout();
    for (int number = 1; number <= kSchemeCount; ++number) {
        auto* button = named(new QRadioButton(schemeButtonText(number), frame),
                             QStringLiteral("Option%1").arg(number));
        option_.at(number) = button;
        connect(button, &QRadioButton::toggled, this, [this, number](bool on) {
            if (on) {
                Option_Click(number);
            }
        });
        schemes->addWidget(button);
    }
    schemes->addSpacing(12);
    // "Hintergrundbild" is made with the other ticks but belongs to this tab.
    check_[1]->setParent(frame);
    connect(check_[1], &QCheckBox::toggled, this, [this] { Check1_Click(); });
    schemes->addWidget(check_[1]);
    schemes->addStretch(1);

    auto* previewBox = new QGroupBox(QStringLiteral("Vorschau"), frame);
    preview_ = new SchemePreview(previewBox);
    (new QVBoxLayout(previewBox))->addWidget(preview_);
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addLayout(schemes);
    frameLayout->addSpacing(12);
    frameLayout->addWidget(previewBox, 1);
    (new QVBoxLayout(page))->addWidget(frame);
    return page;
}

QWidget* OptionsDialog::fontGroup(const QString& title, const QString& buttonText,
                                  const char* button, QLabel* sample,
                                  void (OptionsDialog::*handler)()) {
    auto* group = new QGroupBox(title);
    auto* choose = named(new QPushButton(buttonText, group), QLatin1String(button));
    connect(choose, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    auto* info = named(new QLabel(group), sample->objectName() + QStringLiteral("Info"));
    info->setForegroundRole(QPalette::PlaceholderText);
    auto* left = new QVBoxLayout();
    left->addWidget(choose);
    left->addWidget(info);
    auto* row = new QHBoxLayout(group);
    row->addLayout(left);
    row->addSpacing(8);
    sample->setParent(group);
    row->addWidget(sample, 1);
    return group;
}

QWidget* OptionsDialog::buildFontTab() {
    auto* page = new QWidget(this);
    auto* frame =
        named(new QGroupBox(QStringLiteral("Grundeinstellungen"), page), QStringLiteral("Frame3"));
    Label13_ = fontSample("Label13", frame);
    Label4_ = fontSample("Label4", frame);
    Label5_ = fontSample("Label5", frame);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(fontGroup(QStringLiteral("Kartenfeld"),
                                     QStringLiteral("Schriftart &Kartenfeld"), "Command6", Label13_,
                                     &OptionsDialog::Command6_Click));
    frameLayout->addWidget(fontGroup(QStringLiteral("Eingabefeld Anschrift"),
                                     QStringLiteral("Schriftart A&nschrift"), "Command3", Label4_,
                                     &OptionsDialog::Command3_Click));
    frameLayout->addWidget(fontGroup(QStringLiteral("Eingabefeld Notizen"),
                                     QStringLiteral("Schriftart No&tizen"), "Command4", Label5_,
                                     &OptionsDialog::Command4_Click));
    frameLayout->addStretch(1);
    (new QVBoxLayout(page))->addWidget(frame);
    return page;
}

void OptionsDialog::Einstellungen() {
    const QSignalBlocker blockTabs(TabStrip1_);
    preview_->showColour(schemeOf(1).background);
    preview_->setColours(coloursOf(ColourSet::A));
    TabStrip1_->setCurrentIndex(0);

    loadFonts();
    for (const CheckOption& option : kChecks) {
        const QSignalBlocker block(check_.at(option.number));
        check_.at(option.number)->setChecked(settings::flag(option.key));
    }
    margins_->setMargins(readWhole(key::SLd3), readWhole(key::SLd4));
    birthdaysAtStart_->setChecked(settings::flag(key::GeburtstageZeigen));
    birthdayDays_->setValue(readWhole(key::GeburtstageTage));
    keepLast_->setValue(readWhole(key::SicherungenLetzte));
    keepMonths_->setValue(readWhole(key::SicherungenMonate));
    senderLine_->setText(settings::read(key::Ruecksendeangabe));
    const int number = readWhole(key::OPOption);
    {
        const QSignalBlocker block(option_.at(number));
        option_.at(number)->setChecked(true);
    }
    Option_Click(number);
    takeFieldColours();
}

void OptionsDialog::loadFonts() {
    QFont listFont = cardListBase_;
    if (const QString face = settings::read(key::List1FontName); !face.isEmpty()) {
        listFont.setFamily(face);
    }
    if (const auto size = settings::number(key::List1FontSize)) {
        listFont.setPointSizeF(*size);
    }
    Label13_->setFont(listFont);
    if (cardList_ != nullptr) {
        QFont font = cardList_->font();
        font.setFamily(listFont.family());
        font.setPointSizeF(sizeOf(listFont));
        cardList_->setFont(font);
    }
    takeCardListColour();
    Label4_->setFont(readFont(sampleDesignFont_, key::AFN, key::AFS, key::AFB, key::AFi));
    Label5_->setFont(readFont(sampleDesignFont_, key::NFN, key::NFS, key::NFB, key::NFi));
    describeFonts();
}

void OptionsDialog::showOptions() {
    if (isHidden()) {
        TabStrip1_->setCurrentIndex(0);
    }
    show();
    raise();
    activateWindow();
}

void OptionsDialog::Option_Click(int scheme) {
    if (!option_.at(scheme)->isChecked()) {
        const QSignalBlocker block(option_.at(scheme));
        option_.at(scheme)->setChecked(true);
    }
    runSchemeRule();
}

void OptionsDialog::Check1_Click() {
    runSchemeRule();
}

// With the picture the colour area keeps the colour it had.
void OptionsDialog::runSchemeRule() {
    const ColourScheme chosen = schemeOf(scheme());
    const bool withPicture = backgroundPicture();
    if (withPicture) {
        preview_->showPicture(BackgroundPicture::of(chosen.number));
    } else {
        preview_->showColour(chosen.background);
    }
    preview_->setColours(coloursOf(withPicture ? chosen.withPicture : chosen.withoutPicture));
}

void OptionsDialog::TabStrip1_Click() {
    if (TabStrip1_->currentIndex() == 2) {
        takeFieldColours();
        takeCardListColour();
    }
}

void OptionsDialog::takeFieldColours() {
    const PreviewColours shown = preview_->colours();
    setRole(Label4_, QPalette::Window, shown.field1);
    setRole(Label5_, QPalette::Window, shown.field2);
}

void OptionsDialog::takeCardListColour() {
    const QWidget* source = cardList_ != nullptr ? cardList_.data() : this;
    setRole(Label13_, QPalette::Window, source->palette().color(QPalette::Base));
}

void OptionsDialog::Command3_Click() {
    chooseFont(Label4_);
}

void OptionsDialog::Command4_Click() {
    chooseFont(Label5_);
}

void OptionsDialog::Command6_Click() {
    chooseFont(Label13_);
    takeCardListColour();
}

// Only face, size, bold and italic are taken: the samples have no colour or underline.
void OptionsDialog::chooseFont(QLabel* sample) {
    QFont preset = sample->font();
    preset.setPointSize(10);
    const auto chosen = platform::current().chooseFont(preset, QStringLiteral("Schriftart"));
    if (!chosen) {
        return;
    }
    QFont font = sample->font();
    font.setFamily(chosen->family());
    font.setPointSizeF(sizeOf(*chosen));
    font.setBold(chosen->bold());
    font.setItalic(chosen->italic());
    sample->setFont(font);
    describeFonts();
}

void OptionsDialog::describeFonts() {
    for (QLabel* sample : {Label13_, Label4_, Label5_}) {
        auto* info = findChild<QLabel*>(sample->objectName() + QStringLiteral("Info"));
        info->setText(describe(sample->font()));
        sample->setToolTip(info->text());
    }
}

std::vector<StoredSetting> OptionsDialog::settingsToStore() const {
    std::vector<StoredSetting> values;
    for (const CheckOption& option : kChecks) {
        values.push_back({option.key, check_.at(option.number)->isChecked() ? QStringLiteral("1")
                                                                            : QStringLiteral("0")});
    }
    values.push_back({key::OPOption, static_cast<double>(scheme())});
    values.push_back({key::SLd3, static_cast<double>(topMargin())});
    values.push_back({key::SLd4, static_cast<double>(leftMargin())});
    values.push_back({key::GeburtstageZeigen,
                      birthdaysAtStart_->isChecked() ? QStringLiteral("1") : QStringLiteral("0")});
    values.push_back({key::GeburtstageTage, static_cast<double>(birthdayDays_->value())});
    values.push_back({key::SicherungenLetzte, static_cast<double>(keepLast_->value())});
    values.push_back({key::SicherungenMonate, static_cast<double>(keepMonths_->value())});
    values.push_back({key::Ruecksendeangabe, senderLine()});
    const auto font = [&values](const QFont& f, QColor colour, std::array<const char*, 5> keys) {
        values.push_back({keys[0], f.family()});
        values.push_back({keys[1], sizeOf(f)});
        values.push_back({keys[2], f.bold()});
        values.push_back({keys[3], f.italic()});
        if (keys[4] != nullptr) {
            values.push_back({keys[4], static_cast<double>(toBgr(colour))});
        }
    };
    font(cardListFont(), {},
         {key::List1FontName, key::List1FontSize, key::List1FontBold, key::List1FontItalic,
          nullptr});
    font(addressFont(), addressColour(), {key::AFN, key::AFS, key::AFB, key::AFi, key::AFC});
    font(notesFont(), notesColour(), {key::NFN, key::NFS, key::NFB, key::NFi, key::NFC});
    return values;
}

void OptionsDialog::Command1_Click() {
    // One write of the file for all of them.
    std::vector<std::pair<const char*, QString>> texts;
    for (const StoredSetting& setting : settingsToStore()) {
        texts.emplace_back(setting.key, std::visit(
                                            [](const auto& value) {
                                                using T = std::decay_t<decltype(value)>;
                                                if constexpr (std::is_same_v<T, QString>) {
                                                    return value;
                                                } else if constexpr (std::is_same_v<T, double>) {
                                                    return settings::numberText(value);
                                                } else {
                                                    return settings::boolText(value);
                                                }
                                            },
                                            setting.value));
    }
    settings::write(texts);
    cardListBase_ = Label13_->font();
    Q_EMIT settingsStored();
    hide();
}

void OptionsDialog::Command2_Click() {
    hide();
    Einstellungen();
}

void OptionsDialog::reject() {
    Command2_Click();
}

bool OptionsDialog::showSplash() const {
    return check_[6]->isChecked();
}

bool OptionsDialog::startWithLastCategory() const {
    return check_[5]->isChecked();
}

bool OptionsDialog::startWithSearchWindow() const {
    return check_[2]->isChecked();
}

bool OptionsDialog::restoreWindowSize() const {
    return check_[3]->isChecked();
}

bool OptionsDialog::reactivateMainWindow() const {
    return check_[4]->isChecked();
}

std::optional<int> OptionsDialog::birthdaysAtStart() const {
    return birthdaysAtStart_->isChecked() ? std::optional<int>(birthdayDays_->value())
                                          : std::nullopt;
}

bool OptionsDialog::backgroundPicture() const {
    return check_[1]->isChecked();
}

int OptionsDialog::scheme() const {
    for (int number = 1; number <= kSchemeCount; ++number) {
        if (option_.at(number)->isChecked()) {
            return number;
        }
    }
    return 1;
}

QPixmap OptionsDialog::picture() const {
    return preview_->picture();
}

QColor OptionsDialog::backgroundColour() const {
    return preview_->areaColour();
}

PreviewColours OptionsDialog::colours() const {
    return preview_->colours();
}

QFont OptionsDialog::cardListFont() const {
    return Label13_->font();
}

QFont OptionsDialog::addressFont() const {
    return Label4_->font();
}

QFont OptionsDialog::notesFont() const {
    return Label5_->font();
}

QColor OptionsDialog::addressColour() const {
    return Label4_->palette().color(QPalette::WindowText);
}

QColor OptionsDialog::notesColour() const {
    return Label5_->palette().color(QPalette::WindowText);
}

int OptionsDialog::topMargin() const {
    return margins_->topMargin();
}

QString OptionsDialog::senderLine() const {
    return senderLine_->text().simplified();
}

int OptionsDialog::leftMargin() const {
    return margins_->leftMargin();
}

}  // namespace veltro::options
