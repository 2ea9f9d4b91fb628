#pragma once

#include "store/CardExtras.h"
#include "store/ExtrasInput.h"

#include <QWidget>

#include <array>

class QLineEdit;

namespace veltro::mainwindow {

class EntryList;

// "Weitere Angaben" of the shown card: birthday, anniversary, nickname, title, role and the
// further numbers, e-mail addresses, postal addresses and web pages. It only shows and
// collects what is typed; the card editor saves it with the card's fields.
class ExtrasPanel : public QWidget {
    Q_OBJECT
public:
    explicit ExtrasPanel(QWidget* parent);

    void showExtras(const store::CardExtras& extras);
    // What recovery brings back, shown as if typed.
    void showTyped(const store::TypedExtras& typed);
    [[nodiscard]] store::TypedExtras typed() const;
    // No card, or a card whose details could not be read: nothing to type into.
    void setLocked(bool locked);

Q_SIGNALS:
    void edited();
    // Worth saving now: the focus left a box, or an entry was added, removed or retyped.
    void left();
    void mapWanted(const QString& address);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Line { Birthday, Anniversary, Nickname, Title, Role, kLines };
    std::array<QLineEdit*, kLines> lines_{};
    std::array<EntryList*, 4> lists_{};
};

}  // namespace veltro::mainwindow
