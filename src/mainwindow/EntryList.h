#pragma once

#include "store/CardExtras.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QVBoxLayout;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace veltro::mainwindow {

// The further entries of one kind in the panel of further details: per entry its type, its
// text (for postal addresses street, postcode, town and country) and a button that removes
// it; "Hinzufügen" below adds an empty one.
class EntryList : public QWidget {
    Q_OBJECT
public:
    EntryList(store::EntryKind kind, QWidget* parent);

    void setEntries(const std::vector<store::Entry>& entries);
    [[nodiscard]] std::vector<store::Entry> entries() const;
    void setLocked(bool locked);

    // "Telefonnummer", "E-Mail-Adresse", "Postanschrift", "Webseite"
    [[nodiscard]] static QString entryName(store::EntryKind kind);
    // "Telefonnummern", …, as the heading of the list says.
    [[nodiscard]] static QString listName(store::EntryKind kind);

Q_SIGNALS:
    void edited();
    // An entry was added, removed or given another type: worth saving at once.
    void changedWhole();
    void focusLeft();
    void mapWanted(const QString& address);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QWidget* frame = nullptr;
        QComboBox* type = nullptr;
        std::vector<QLineEdit*> texts;  // value; for postal addresses then postcode, town, country
        QToolButton* remove = nullptr;
        QPushButton* map = nullptr;

        [[nodiscard]] std::vector<QWidget*> tabOrder() const;
        [[nodiscard]] QWidget* lastInTab() const { return tabOrder().back(); }
    };
    void addRow(const store::Entry& entry);
    void removeRow(const QWidget* frame);
    void nameRows();
    [[nodiscard]] store::Entry entryOf(const Row& row) const;

    store::EntryKind kind_;
    QVBoxLayout* rowsLayout_ = nullptr;
    QPushButton* add_ = nullptr;
    std::vector<Row> rows_;
    bool locked_ = false;
};

}  // namespace veltro::mainwindow
