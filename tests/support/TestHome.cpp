#include "TestHome.h"

#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QSettings>

#include <algorithm>

namespace veltro::testing {

TestHome::TestHome() {
    qputenv("VELTRO_HOME", data_.path().toLocal8Bit());
    // QSettings caches its paths per process; point it at this test's directory.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
}

TestHome::~TestHome() {
    qunsetenv("VELTRO_HOME");
}

std::filesystem::path TestHome::dir() const {
    return data_.path().toStdString();
}

std::filesystem::path TestHome::storeFile() const {
    return dir() / store::kStoreFileName;
}

QString TestHome::settingsFile() const {
    return config_.path() + QStringLiteral("/Veltrix/Veltrix.conf");
}

store::Card cardFrom(const GivenCard& wanted) {
    store::Card card;
    card.set(store::Field::Schlagworte, wanted.heading);
    card.set(store::Field::Kategorien, wanted.category);
    for (const auto& [field, value] : wanted.fields) {
        card.set(field, value);
    }
    return card;
}

std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void makeStore(const std::filesystem::path& dir, const std::vector<QString>& categories,
               const std::vector<GivenCard>& cards) {
    store::createEmptyStore(dir);
    auto cardStore = store::CardStore::open(dir / store::kStoreFileName);
    // One commit: a sync to disk per card makes a store of a thousand cards take seconds.
    store::Transaction together(cardStore.db());
    for (const auto& name : categories) {
        cardStore.addCategory(name);
    }
    store::CardInserter inserter(cardStore.db());
    for (const auto& wanted : cards) {
        inserter.insert(cardFrom(wanted));
    }
    together.commit();
}

}  // namespace veltro::testing
