#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <map>
#include <utility>
#include <vector>

namespace veltro::testing {

// Another user's tools on the same address book: vdirsyncer keeps a folder of vCards in
// step with the book, khard edits and deletes them there. Everything they write, their
// settings and a log of what they printed stay in a folder of its own.
class OtherClient {
public:
    // False when vdirsyncer or khard is not installed; tests skip then.
    [[nodiscard]] static bool installed();

    OtherClient(const QUrl& book, const QString& user, const QString& password);

    // Both ways; the first call also lets vdirsyncer discover the pair.
    void sync();
    // Each by the card's formatted name, then synced.
    void remove(const QString& name);
    void setPhone(const QString& name, const QString& number);
    void setAddress(const QString& name, const QString& street, const QString& postcode,
                    const QString& town);

    // The cards of the folder as of the last sync, unfolded, by FN.
    [[nodiscard]] std::map<QString, QString> cards() const;
    [[nodiscard]] QString log() const;

private:
    QByteArray run(const QString& program, const QStringList& args, const QByteArray& input = {});
    // Replaces the value of the first YAML line matching each pattern (its group 1 kept).
    void edit(const QString& name, const std::vector<std::pair<QString, QString>>& changes);
    [[nodiscard]] QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    bool discovered_ = false;
};

}  // namespace veltro::testing
