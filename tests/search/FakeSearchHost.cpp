#include "FakeSearchHost.h"

namespace veltro::testing {

FakeSearchHost::FakeSearchHost(std::vector<Card> cards) : cards_(std::move(cards)) {
    setSearchText(QString());
}

void FakeSearchHost::setSearchText(const QString& text) {
    searchText = text;
    lines_.clear();
    for (std::size_t i = 0; i < cards_.size(); ++i) {
        if (cards_[i].heading.contains(text, Qt::CaseInsensitive)) {
            lines_.push_back(i);
        }
    }
    selected_ = -1;
    if (!lines_.empty()) {
        selectLine(0);
    }
}

QString FakeSearchHost::lineText(int row) const {
    return row >= 0 && row < lineCount() ? cards_[lines_[static_cast<std::size_t>(row)]].heading
                                         : QString();
}

void FakeSearchHost::selectLine(int row) {
    selected_ = row >= 0 && row < lineCount() ? row : -1;
    if (selected_ >= 0) {
        shown_ = lines_[static_cast<std::size_t>(selected_)];
    }
}

search::ShownCard FakeSearchHost::shownCard() const {
    const Card& card = cards_.at(shown_);
    return {card.lastName, card.postcode, card.town, card.address.isEmpty(), card.notes.isEmpty()};
}

void FakeSearchHost::copyAddress() {
    copied.append(QStringLiteral("Anschrift: ") + cards_.at(shown_).heading);
}

void FakeSearchHost::copyNotes() {
    copied.append(QStringLiteral("Notizen: ") + cards_.at(shown_).heading);
}

}  // namespace veltro::testing
