#include "sync/SyncDialog.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"

#include "base/Failure.h"
#include "platform/Platform.h"
#include "session/Session.h"
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
#include <QPointer>
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

// The error of a server whose certificate is not trusted; nothing for any other failure.
std::optional<SyncError> certificateFailure(const std::exception_ptr& failure) {
    if (!failure) {
        return std::nullopt;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const SyncError& error) {
        if (error.kind() == SyncError::Kind::Certificate) {
            return error;
        }
    } catch (...) {  // told as it is by whoever asked
    }
    return std::nullopt;
}

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

SyncDialog::~SyncDialog() = default;

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
        if (discovery_) {
            discovery_->cancel();
        }
        if (session::Task* work = host_.session().work(); work && !syncs_.waiting.empty()) {
            work->cancel();
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
    store::CardStore* cards = host_.session().storeIfOpen();
    if (cards == nullptr || running_) {
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
    if (store::CardStore* cards = host_.session().storeIfOpen()) {
        for (const QString& known : cards->categories()) {
            box->addItem(known);
        }
    }
    box->setCurrentText(category);
    books_->setItemWidget(item, 1, box);
}

void SyncDialog::withPassword(std::function<void(std::optional<QString>)> then) {
    const QString key = accountKey(user_->text().trimmed(), url_->text().trimmed());
    const QString typed = password_->text();
    password_->clear();
    if (typed.isEmpty()) {
        setRunning(true);
        QPointer<SyncDialog> self(this);
        passwords_.read(key, [self, then = std::move(then)](std::optional<QString> secret) {
            if (self) {
                self->setRunning(false);
                then(std::move(secret));
            }
        });
        return;
    }
    QPointer<SyncDialog> self(this);
    passwords_.write(key, typed, [self](bool stored) {
        if (self && !stored) {
            self->report_->appendPlainText(
                QStringLiteral("Kein Schlüsselbund erreichbar: das Passwort gilt nur, solange "
                               "das Programm läuft."));
        }
    });
    then(typed);
}

std::optional<QString> SyncDialog::askTrust(const SyncError& error) {
    const auto answer = platform::current().message(
        {error.text() + QStringLiteral("\n\nNur wenn dieser Fingerabdruck wirklich der "
                                       "des Servers ist: dem Zertifikat vertrauen?"),
         kTitle, platform::Buttons::YesNo, platform::Icon::Exclamation, 1});
    if (answer != platform::Answer::Yes) {
        return std::nullopt;
    }
    return error.fingerprint();
}

void SyncDialog::findBooks() {
    if (running_) {
        return;
    }
    const QUrl start = QUrl::fromUserInput(url_->text().trimmed());
    const QString user = user_->text().trimmed();
    withPassword([this, start, user](const std::optional<QString>& secret) {
        if (!start.isValid() || user.isEmpty() || !secret) {
            say(QStringLiteral("Bitte Server, Benutzer und Passwort angeben."), true);
            return;
        }
        discover(start, user, *secret);
    });
}

void SyncDialog::discover(const QUrl& start, const QString& user, const QString& secret,
                          bool askTrust) {
    setRunning(true);
    auto found = std::make_shared<std::vector<AddressBook>>();
    auto work = [start, user, secret, found,
                 fingerprint = fingerprint_](session::TaskControl& control) {
        DavClient client({user, secret}, start, fingerprint);
        client.setStopCheck([&control] { return control.stopRequested(); });
        *found = client.discover(start);
    };
    auto end = [this, start, user, secret, found, askTrust](const std::exception_ptr& failure) {
        endedDiscovery_ = std::move(discovery_);  // this runs inside it
        setRunning(false);
        if (const auto untrusted = certificateFailure(failure); untrusted && askTrust) {
            if (const auto fingerprint = this->askTrust(*untrusted)) {
                fingerprint_ = *fingerprint;
                discover(start, user, secret, false);
            }
            return;
        }
        discovered(*found, failure);
    };
    discovery_ = std::make_unique<session::Task>(std::move(work), std::move(end));
}

void SyncDialog::discovered(const std::vector<AddressBook>& found,
                            const std::exception_ptr& failure) {
    if (failure) {
        say(describeFailure(failure).text, true);
        return;
    }
    for (const AddressBook& book : found) {
        addBookRow(book.url, book.name, book.name, false);
    }
    report_->appendPlainText(QStringLiteral("%1 Adressbücher gefunden.").arg(found.size()));
}

std::vector<Pairing> SyncDialog::tickedPairings() {
    std::vector<Pairing> ticked;
    store::CardStore* cards = host_.session().storeIfOpen();
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

void SyncDialog::syncNow(bool timed) {
    // A question or dialog on screen may be in the middle of changing cards; the next tick
    // comes soon enough.
    if (timed && QApplication::activeModalWidget() != nullptr) {
        return;
    }
    if (running_ || !host_.session().isOpen() || !host_.commitShownCard()) {
        return;
    }
    syncs_ = {};
    syncs_.timed = timed;
    withPassword([this](const std::optional<QString>& secret) { startSyncs(secret); });
}

void SyncDialog::startSyncs(const std::optional<QString>& secret) {
    if (!secret) {
        say(QStringLiteral("Bitte das Passwort angeben; es wird im Schlüsselbund des Desktops "
                           "gespeichert oder gilt, solange das Programm läuft."),
            !syncs_.timed);
        return;
    }
    try {
        const std::vector<Pairing> chosen = tickedPairings();
        syncs_.waiting.assign(chosen.begin(), chosen.end());
    } catch (...) {
        say(describeFailure(std::current_exception()).text, !syncs_.timed);
        return;
    }
    if (syncs_.waiting.empty()) {
        say(QStringLiteral("Bitte mindestens ein Adressbuch ankreuzen und ihm eine Kategorie "
                           "geben."),
            !syncs_.timed);
        return;
    }
    syncs_.secret = *secret;
    setRunning(true);
    syncNext();
}

void SyncDialog::syncNext() {
    if (syncs_.waiting.empty()) {
        endSyncs({});
        return;
    }
    const QString category = syncs_.waiting.front().category;
    session::Session::SyncJob job{
        syncs_.waiting.front(), syncs_.secret, [category](const MassDelete& deletes) {
            return platform::current().message(
                       {massDeleteQuestion(deletes, category), kTitle, platform::Buttons::YesNo,
                        platform::Icon::Exclamation, 1}) == platform::Answer::Yes;
        }};
    const auto progress = [this](const session::TaskProgress& now) {
        progress_->setMaximum(static_cast<int>(now.total));
        progress_->setValue(static_cast<int>(now.done));
        progress_->setFormat(now.step);
    };
    const auto done = [this](const SyncReport& report, const std::exception_ptr& failure) {
        synced(report, failure);
    };
    if (host_.session().startSync(std::move(job), done, progress) == nullptr) {
        endSyncs(QStringLiteral("Es läuft noch eine andere Arbeit an der Kartei."));
    }
}

void SyncDialog::synced(const SyncReport& done, const std::exception_ptr& failure) {
    Pairing& pairing = syncs_.waiting.front();
    const auto untrusted = certificateFailure(failure);
    if (untrusted && !syncs_.trustAsked) {
        syncs_.trustAsked = true;
        if (const auto fingerprint = askTrust(*untrusted)) {
            pairing.fingerprint = *fingerprint;
        } else {
            syncs_.waiting.pop_front();  // not this book, the others all the same
            syncs_.trustAsked = false;
        }
        syncNext();
        return;
    }
    if (failure) {
        endSyncs(pairing.category + QStringLiteral(": ") + describeFailure(failure).text);
        return;
    }
    syncs_.wroteHere = syncs_.wroteHere || done.downloaded + done.deletedHere > 0;
    syncs_.report += pairing.category + QStringLiteral(": ") + reportText(done) + u'\n';
    syncs_.waiting.pop_front();
    syncs_.trustAsked = false;
    syncNext();
}

void SyncDialog::endSyncs(const QString& failure) {
    syncs_.waiting.clear();
    setRunning(false);
    if (syncs_.wroteHere) {
        host_.showSyncedCards();
    }
    report_->appendPlainText(syncs_.report.trimmed());
    if (!failure.isEmpty()) {
        say(failure, !syncs_.timed);
    }
}

void SyncDialog::setRunning(bool running) {
    running_ = running;
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
