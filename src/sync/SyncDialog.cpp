#include "sync/SyncDialog.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"

#include "base/Failure.h"
#include "platform/Platform.h"
#include "store/CardStore.h"
#include "store/Categories.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"
#include "sync/SyncError.h"
#include "sync/SyncRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace veltro::sync {

namespace {

const QString kTitle = QStringLiteral("Synchronisieren");
constexpr int kUrlRole = Qt::UserRole;
constexpr int kMsPerMinute = 60000;

QComboBox* categoryBox(QTreeWidgetItem* item) {
    return qobject_cast<QComboBox*>(item->treeWidget()->itemWidget(item, 1));
}

}  // namespace

SyncDialog::SyncDialog(SyncHost& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("frmSync"));
    setWindowTitle(kTitle);
    platform::setHelpPage(*this, QStringLiteral("synchronisieren.html"));
    timer_.setObjectName(QStringLiteral("tmrSync"));
    build();
    connect(&timer_, &QTimer::timeout, this, [this] { syncNow(true); });
    const int minutes = static_cast<int>(settings::number(settings::key::SyncMinuten).value_or(0));
    if (minutes > 0) {
        loadPairings();
        minutes_->setValue(minutes);
        every_->setChecked(true);
    }
}

void SyncDialog::build() {
    auto* form = new QFormLayout;
    url_ = new QLineEdit(this);
    url_->setObjectName(QStringLiteral("txtServer"));
    url_->setPlaceholderText(QStringLiteral("https://server.example/"));
    user_ = new QLineEdit(this);
    user_->setObjectName(QStringLiteral("txtBenutzer"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("txtPasswort"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setPlaceholderText(QStringLiteral("gespeichert oder für diesen Lauf"));
    form->addRow(QStringLiteral("&Server:"), url_);
    form->addRow(QStringLiteral("&Benutzer:"), user_);
    form->addRow(QStringLiteral("&Passwort:"), password_);

    find_ = new QPushButton(QStringLiteral("Adressbücher s&uchen"), this);
    find_->setObjectName(QStringLiteral("cmdSuchen"));
    books_ = new QTreeWidget(this);
    books_->setObjectName(QStringLiteral("lstAdressbuecher"));
    books_->setAccessibleName(QStringLiteral("Adressbücher"));
    books_->setHeaderLabels({QStringLiteral("Adressbuch"), QStringLiteral("Kategorie")});
    books_->setRootIsDecorated(false);
    books_->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto* timed = new QHBoxLayout;
    every_ = new QCheckBox(QStringLiteral("&Automatisch alle"), this);
    every_->setObjectName(QStringLiteral("chkAutomatisch"));
    minutes_ = new QSpinBox(this);
    minutes_->setObjectName(QStringLiteral("txtMinuten"));
    minutes_->setAccessibleName(QStringLiteral("Minuten bis zum nächsten Abgleich"));
    minutes_->setRange(1, 24 * 60);
    minutes_->setValue(15);
    timed->addWidget(every_);
    timed->addWidget(minutes_);
    timed->addWidget(new QLabel(QStringLiteral("Minuten"), this));
    timed->addStretch();

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgSync"));
    progress_->setTextVisible(true);
    progress_->setFormat(QString());
    progress_->setValue(0);
    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("txtBericht"));
    report_->setAccessibleName(QStringLiteral("Bericht"));
    report_->setReadOnly(true);

    auto* buttons = new QHBoxLayout;
    sync_ = new QPushButton(QStringLiteral("&Jetzt abgleichen"), this);
    sync_->setObjectName(QStringLiteral("cmdAbgleichen"));
    sync_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Abbre&chen"), this);
    cancel_->setObjectName(QStringLiteral("cmdAbbrechen"));
    cancel_->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Schl&ießen"), this);
    close->setObjectName(QStringLiteral("cmdSchliessen"));
    buttons->addWidget(sync_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(find_, 0, Qt::AlignLeft);
    layout->addWidget(books_, 2);
    layout->addLayout(timed);
    layout->addWidget(progress_);
    layout->addWidget(report_, 1);
    layout->addLayout(buttons);
    platform::resizeWithin(*this, {560, 520});

    connect(find_, &QPushButton::clicked, this, [this] { findBooks(); });
    connect(sync_, &QPushButton::clicked, this, [this] { syncNow(); });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (running_ != nullptr) {
            running_->cancel();
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    const auto retime = [this] {
        const int minutes = every_->isChecked() ? minutes_->value() : 0;
        if (minutes > 0) {
            timer_.start(minutes * kMsPerMinute);
        } else {
            timer_.stop();
        }
        settings::writeNumber(settings::key::SyncMinuten, minutes);
    };
    connect(every_, &QCheckBox::toggled, this, retime);
    connect(minutes_, &QSpinBox::valueChanged, this, retime);
}

void SyncDialog::showDialog() {
    loadPairings();
    show();
    raise();
    activateWindow();
}

void SyncDialog::loadPairings() {
    store::CardStore* cards = host_.cardStore();
    if (cards == nullptr || running_ != nullptr) {
        return;
    }
    books_->clear();
    for (const Pairing& pairing : pairings(cards->db())) {
        if (url_->text().isEmpty()) {
            url_->setText(pairing.server.toString());
            user_->setText(pairing.user);
        }
        addBookRow(pairing.book, pairing.book.path().section(u'/', -2, -2), pairing.category, true);
    }
}

void SyncDialog::addBookRow(const QUrl& url, const QString& name, const QString& category,
                            bool ticked) {
    for (int i = 0; i < books_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = books_->topLevelItem(i);
        if (item->data(0, kUrlRole).toUrl() == url) {
            item->setText(0, name);
            return;
        }
    }
    auto* item = new QTreeWidgetItem(books_, {name});
    item->setData(0, kUrlRole, url);
    item->setToolTip(0, url.toString());
    item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    auto* box = new QComboBox(books_);
    box->setEditable(true);
    if (store::CardStore* cards = host_.cardStore()) {
        for (const QString& known : cards->categories()) {
            box->addItem(known);
        }
    }
    box->setCurrentText(category);
    books_->setItemWidget(item, 1, box);
}

std::optional<QString> SyncDialog::password() {
    const QString key = accountKey(user_->text().trimmed(), url_->text().trimmed());
    if (!password_->text().isEmpty()) {
        if (!passwords_.write(key, password_->text())) {
            report_->appendPlainText(
                QStringLiteral("Kein Schlüsselbund erreichbar: das Passwort gilt nur, solange "
                               "das Programm läuft."));
        }
        password_->clear();
        return passwords_.read(key);
    }
    return passwords_.read(key);
}

bool SyncDialog::withTrust(QString& fingerprint, const std::function<void()>& work) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            work();
            return true;
        } catch (const SyncError& error) {
            if (error.kind() != SyncError::Kind::Certificate || attempt > 0) {
                throw;
            }
            const auto answer = platform::current().message(
                {error.text() + QStringLiteral("\n\nNur wenn dieser Fingerabdruck wirklich der "
                                               "des Servers ist: dem Zertifikat vertrauen?"),
                 kTitle, platform::Buttons::YesNo, platform::Icon::Exclamation, 1});
            if (answer != platform::Answer::Yes) {
                return false;
            }
            fingerprint = error.fingerprint();
        }
    }
    return false;
}

void SyncDialog::findBooks() {
    const QUrl start = QUrl::fromUserInput(url_->text().trimmed());
    const auto secret = password();
    if (!start.isValid() || user_->text().trimmed().isEmpty() || !secret) {
        say(QStringLiteral("Bitte Server, Benutzer und Passwort angeben."), true);
        return;
    }
    setRunning(true);
    try {
        withTrust(fingerprint_, [&] {
            DavClient client({user_->text().trimmed(), *secret}, start, fingerprint_);
            running_ = &client;
            const auto found = client.discover(start);
            running_ = nullptr;
            for (const AddressBook& book : found) {
                addBookRow(book.url, book.name, book.name, false);
            }
            report_->appendPlainText(QStringLiteral("%1 Adressbücher gefunden.").arg(found.size()));
        });
    } catch (...) {  // whatever it was, the dialog must leave its running state
        say(describeFailure(std::current_exception()).text, true);
    }
    running_ = nullptr;
    setRunning(false);
}

std::vector<Pairing> SyncDialog::tickedPairings() {
    std::vector<Pairing> ticked;
    store::CardStore* cards = host_.cardStore();
    for (int i = 0; cards != nullptr && i < books_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = books_->topLevelItem(i);
        const QString category = categoryBox(item)->currentText().trimmed();
        if (item->checkState(0) != Qt::Checked || !store::isTargetCategory(category)) {
            continue;
        }
        const QUrl book = item->data(0, kUrlRole).toUrl();
        Pairing pairing = pairingForBook(cards->db(), book).value_or(Pairing{});
        pairing.server = QUrl::fromUserInput(url_->text().trimmed());
        pairing.user = user_->text().trimmed();
        pairing.book = book;
        pairing.category = category;
        if (pairing.fingerprint.isEmpty()) {
            pairing.fingerprint = fingerprint_;
        }
        pairing.id = savePairing(cards->db(), pairing);
        ticked.push_back(pairing);
    }
    return ticked;
}

void SyncDialog::syncOne(Pairing& pairing, const QString& secret, QString& report,
                         bool& wroteHere) {
    store::CardStore& cards = *host_.cardStore();
    SyncOptions options;
    options.progress = [this](int step, int total, const QString& what) {
        progress_->setMaximum(total);
        progress_->setValue(step);
        progress_->setFormat(what);
    };
    options.beforeChangesHere = [this] { host_.backUpBeforeSync(); };
    options.allowManyDeletes = [&pairing](const MassDelete& deletes) {
        return platform::current().message({massDeleteQuestion(deletes, pairing.category), kTitle,
                                            platform::Buttons::YesNo, platform::Icon::Exclamation,
                                            1}) == platform::Answer::Yes;
    };
    withTrust(pairing.fingerprint, [&] {
        DavClient client({pairing.user, secret}, pairing.server, pairing.fingerprint);
        client.allowBookOf(pairing.book);
        running_ = &client;
        const SyncReport done = synchronize(cards, pairing, client, options);
        running_ = nullptr;
        savePairing(cards.db(), pairing);
        wroteHere = wroteHere || done.downloaded + done.deletedHere > 0;
        report += pairing.category + QStringLiteral(": ") + reportText(done) + u'\n';
    });
}

void SyncDialog::syncNow(bool timed) {
    // A question or dialog on screen may be in the middle of changing cards; the next tick
    // comes soon enough.
    if (timed && QApplication::activeModalWidget() != nullptr) {
        return;
    }
    if (running_ != nullptr || host_.cardStore() == nullptr || !host_.commitShownCard()) {
        return;
    }
    const auto secret = password();
    if (!secret) {
        say(QStringLiteral("Bitte das Passwort angeben; es wird im Schlüsselbund des Desktops "
                           "gespeichert oder gilt, solange das Programm läuft."),
            !timed);
        return;
    }
    std::vector<Pairing> chosen;
    try {
        chosen = tickedPairings();
    } catch (...) {
        say(describeFailure(std::current_exception()).text, !timed);
        return;
    }
    if (chosen.empty()) {
        say(QStringLiteral("Bitte mindestens ein Adressbuch ankreuzen und ihm eine Kategorie "
                           "geben."),
            !timed);
        return;
    }
    setRunning(true);
    host_.syncedThisRun();
    QString report;
    bool wroteHere = false;
    QString failure;
    for (Pairing& pairing : chosen) {
        try {
            syncOne(pairing, *secret, report, wroteHere);
        } catch (...) {  // whatever it was, the dialog must leave its running state
            failure = pairing.category + QStringLiteral(": ") +
                      describeFailure(std::current_exception()).text;
            break;
        }
    }
    running_ = nullptr;
    setRunning(false);
    if (wroteHere) {
        host_.reloadAfterSync();
    }
    report_->appendPlainText(report.trimmed());
    if (!failure.isEmpty()) {
        say(failure, !timed);
    }
}

void SyncDialog::setRunning(bool running) {
    host_.setBusy(running);
    for (QWidget* part : std::initializer_list<QWidget*>{url_, user_, password_, find_, sync_,
                                                         books_, every_, minutes_}) {
        part->setEnabled(!running);
    }
    cancel_->setEnabled(running);
    if (!running) {
        progress_->setFormat(QString());
    }
}

void SyncDialog::say(const QString& text, bool asMessage) {
    report_->appendPlainText(text);
    if (asMessage) {
        platform::current().message(
            {text, kTitle, platform::Buttons::Ok, platform::Icon::Exclamation, 0});
    }
}

}  // namespace veltro::sync
