#include "sync/SyncPlan.h"

#include "maintenance/AddressComposition.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <type_traits>

namespace veltro::sync {

namespace {

using store::Field;

constexpr std::array kSynced = {
    Field::Nr,       Field::Schlagworte, Field::Anrede,  Field::Vorname,      Field::Nachname,
    Field::Firma,    Field::Abteilung,   Field::Strasse, Field::Postleitzahl, Field::Ort,
    Field::Vorwahl,  Field::Telefon,     Field::Fax,     Field::Mobiltelefon, Field::EMailAdresse,
    Field::Webseite, Field::Anschrift,   Field::Notizen,
};

QString composed(const store::Card& card) {
    return maintenance::composeAddress({card.text(Field::Anrede), card.text(Field::Vorname),
                                        card.text(Field::Nachname), card.text(Field::Firma),
                                        card.text(Field::Abteilung), card.text(Field::Strasse),
                                        card.text(Field::Postleitzahl), card.text(Field::Ort)});
}

// An address block made from the fields follows them: it is compared as "made from the
// fields", so a street changed here and a town changed there do not clash in it.
const QString kComposedMark = QStringLiteral("\x01");

store::Card withMarkedAddress(store::Card card) {
    if (card.text(Field::Anschrift) == composed(card)) {
        card.set(Field::Anschrift, kComposedMark);
    }
    return card;
}

QString noteOf(const store::Card& local, const std::vector<Field>& conflicts,
               const QString& heading) {
    QString note = heading;
    for (const Field field : conflicts) {
        QString value = local.text(field);
        if (field == Field::Anschrift && value == kComposedMark) {
            value = composed(local);
        }
        note += u'\n' + store::columnName(field) + QStringLiteral(": ") + value;
    }
    return note;
}

CardPlan merge(const store::Card& localIn, const store::Card& remoteIn,
               const std::optional<store::Card>& baseIn, const QString& heading) {
    const store::Card local = withMarkedAddress(localIn);
    const store::Card remote = withMarkedAddress(remoteIn);
    const std::optional<store::Card> base =
        baseIn ? std::optional(withMarkedAddress(*baseIn)) : std::nullopt;
    CardPlan plan;
    plan.merged = remote;
    plan.merged.id = localIn.id;
    for (const Field field : kSynced) {
        const QString here = local.text(field);
        const QString there = remote.text(field);
        if (here == there) {
            continue;
        }
        const bool changedHere = !base || base->text(field) != here;
        const bool changedThere = !base || base->text(field) != there;
        if (changedHere && !changedThere) {
            plan.merged.set(field, here);
        } else if (changedHere && changedThere) {
            plan.conflicts.push_back(field);
        }
    }
    QStringList appended;
    if (!plan.conflicts.empty()) {
        appended << noteOf(local, plan.conflicts, heading);
    }
    const bool addressInConflict = std::find(plan.conflicts.begin(), plan.conflicts.end(),
                                             Field::Anschrift) != plan.conflicts.end();
    if (!addressInConflict && local.text(Field::Anschrift) != kComposedMark &&
        plan.merged.text(Field::Anschrift) == kComposedMark) {
        appended << QStringLiteral("Anschrift vor dem Abgleich:\n") + local.text(Field::Anschrift);
    }
    if (!appended.isEmpty()) {
        plan.appendedToNotes = appended.join(QStringLiteral("\n\n"));
        const QString notes = plan.merged.text(Field::Notizen);
        plan.merged.set(Field::Notizen, (notes.isEmpty() ? notes : notes + QStringLiteral("\n\n")) +
                                            plan.appendedToNotes);
    }
    if (plan.merged.text(Field::Anschrift) == kComposedMark) {
        plan.merged.set(Field::Anschrift, composed(plan.merged));
    }
    const store::Card merged = withMarkedAddress(plan.merged);
    plan.local = sameFields(merged, local) ? CardPlan::Local::Keep : CardPlan::Local::Write;
    plan.remote = sameFields(merged, remote) ? CardPlan::Remote::Keep : CardPlan::Remote::Upload;
    return plan;
}

// Ours where only we changed it, else the server's.
template <typename T>
T picked(const T& here, const T& there, const std::optional<T>& base) {
    return here != there && base && *base == there ? here : there;
}

store::CardExtras mergedExtras(const CardStates& states, bool withBase) {
    const store::CardExtras& here = states.localExtras;
    const store::CardExtras& there = states.remoteExtras;
    const auto base = [&](auto member) {
        using T = std::decay_t<decltype(states.baseExtras.*member)>;
        return withBase ? std::optional<T>(states.baseExtras.*member) : std::nullopt;
    };
    const auto part = [&](auto member) {
        return picked(here.*member, there.*member, base(member));
    };
    store::CardExtras merged;
    merged.birthday = part(&store::CardExtras::birthday);
    merged.anniversary = part(&store::CardExtras::anniversary);
    merged.nickname = part(&store::CardExtras::nickname);
    merged.title = part(&store::CardExtras::title);
    merged.role = part(&store::CardExtras::role);
    merged.photo = part(&store::CardExtras::photo);
    for (const auto kind : {store::EntryKind::Telefon, store::EntryKind::EMail,
                            store::EntryKind::Anschrift, store::EntryKind::Webseite}) {
        const auto entries =
            picked(here.of(kind), there.of(kind),
                   withBase ? std::optional(states.baseExtras.of(kind)) : std::nullopt);
        merged.entries.insert(merged.entries.end(), entries.begin(), entries.end());
    }
    return merged;
}

}  // namespace

bool sameFields(const store::Card& a, const store::Card& b) {
    for (const Field field : kSynced) {
        if (a.text(field) != b.text(field)) {
            return false;
        }
    }
    return true;
}

CardPlan planCard(const CardStates& states, const QString& conflictHeading) {
    const auto& local = states.local;
    const auto& remote = states.remote;
    const auto& base = states.base;
    CardPlan plan;
    if (local && remote) {
        plan = merge(*local, *remote, base, conflictHeading);
        plan.mergedExtras = mergedExtras(states, base.has_value());
        if (plan.mergedExtras != states.localExtras) {
            plan.local = CardPlan::Local::Write;
        }
        if (plan.mergedExtras != states.remoteExtras) {
            plan.remote = CardPlan::Remote::Upload;
        }
        return plan;
    }
    if (local) {
        plan.merged = *local;
        plan.mergedExtras = states.localExtras;
        const bool unchanged =
            base && sameFields(*local, *base) && states.localExtras == states.baseExtras;
        plan.local = unchanged ? CardPlan::Local::Delete : CardPlan::Local::Keep;
        plan.remote = unchanged ? CardPlan::Remote::Keep : CardPlan::Remote::Create;
        return plan;
    }
    if (remote) {
        plan.merged = *remote;
        plan.mergedExtras = states.remoteExtras;
        const bool unchanged =
            base && sameFields(*remote, *base) && states.remoteExtras == states.baseExtras;
        plan.local = unchanged ? CardPlan::Local::Keep : CardPlan::Local::Create;
        plan.remote = unchanged ? CardPlan::Remote::Delete : CardPlan::Remote::Keep;
        return plan;
    }
    return plan;
}

}  // namespace veltro::sync
