#pragma once

#include "QtPrinters.h"
#include "store/CardFields.h"

#include <QString>
#include <QTemporaryDir>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace veltro::testing {

// A fresh data directory ($VELTRO_HOME) and settings directory for one test.
class TestHome {
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    [[nodiscard]] std::filesystem::path dir() const;
    [[nodiscard]] std::filesystem::path storeFile() const;
    [[nodiscard]] QString settingsFile() const;

private:
    QTemporaryDir data_;
    QTemporaryDir config_;
};

// A card for fixtures: heading, category and any further fields.
struct GivenCard {
    QString heading;
    QString category;
    std::vector<std::pair<store::Field, QString>> fields = {};
};

[[nodiscard]] store::Card cardFrom(const GivenCard& wanted);

// The names of the entries of the folder, sorted.
[[nodiscard]] std::vector<std::string> filesIn(const std::filesystem::path& dir);

// Creates DIR/Kartix.mdb with these categories and cards, in this store order.
void makeStore(const std::filesystem::path& dir, const std::vector<QString>& categories,
               const std::vector<GivenCard>& cards);

}  // namespace veltro::testing
