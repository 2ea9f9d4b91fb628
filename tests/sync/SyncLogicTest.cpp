#include "store/CardFields.h"
#include "sync/DavClient.h"
#include "sync/DavXml.h"
#include "sync/SyncError.h"
#include "sync/SyncPlan.h"
#include "sync/VcardMerge.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::store::Card;
using veltro::store::Field;
namespace sync = veltro::sync;

TEST(DavXml, MultistatusGivesHrefsStatusesAndOnlyFoundProperties) {
    const QByteArray body = R"(<?xml version="1.0"?>
<D:multistatus xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">
 <D:response><D:href>/anna/</D:href>
  <D:propstat><D:prop><D:current-user-principal><D:href>/anna/</D:href></D:current-user-principal>
   <C:addressbook-home-set><D:href>/anna/</D:href></C:addressbook-home-set></D:prop>
   <D:status>HTTP/1.1 200 OK</D:status></D:propstat>
  <D:propstat><D:prop><D:displayname/></D:prop><D:status>HTTP/1.1 404 Not Found</D:status></D:propstat>
 </D:response>
 <D:response><D:href>/anna/kontakte/</D:href><D:propstat><D:prop>
  <D:resourcetype><D:collection/><C:addressbook/></D:resourcetype>
  <D:supported-report-set><D:supported-report><D:report><D:sync-collection/></D:report></D:supported-report></D:supported-report-set>
  </D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>
 <D:response><D:href>/anna/kontakte/a.vcf</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>
 <D:response><D:href>/anna/kontakte/b.vcf</D:href><D:propstat><D:prop><D:getetag>"e1"</D:getetag>
  <C:address-data>BEGIN:VCARD&#13;
END:VCARD</C:address-data></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>
 <D:sync-token>tok-2</D:sync-token>
</D:multistatus>)";
    const auto status = sync::parseMultistatus(body);
    ASSERT_TRUE(status.valid);
    ASSERT_EQ(status.responses.size(), 4U);
    EXPECT_EQ(status.syncToken, u"tok-2"_s);
    const auto& home = status.responses[0];
    ASSERT_NE(home.property(u"addressbook-home-set"_s), nullptr);
    EXPECT_EQ(home.property(u"addressbook-home-set"_s)->hrefs, QStringList{u"/anna/"_s});
    EXPECT_EQ(home.property(u"displayname"_s), nullptr) << "a 404 property is not found";
    const auto* type = status.responses[1].property(u"resourcetype"_s);
    ASSERT_NE(type, nullptr);
    EXPECT_TRUE(type->children.contains(u"addressbook"_s));
    EXPECT_TRUE(status.responses[1]
                    .property(u"supported-report-set"_s)
                    ->children.contains(u"sync-collection"_s));
    EXPECT_EQ(status.responses[2].status, 404);
    EXPECT_EQ(status.responses[3].property(u"getetag"_s)->text, u"\"e1\""_s);
    EXPECT_EQ(status.responses[3].property(u"address-data"_s)->text, u"BEGIN:VCARD\r\nEND:VCARD"_s);
    // Anything but a whole multistatus of DAV: is no listing at all, never an empty one.
    for (const QByteArray& broken :
         {QByteArray("<html><body>Fehler</body></html>"), QByteArray(), body.left(body.size() / 2),
          QByteArray(body).replace("xmlns:D=\"DAV:\"", "xmlns:D=\"urn:anders\""),
          QByteArray(body).replace("<D:href>/anna/kontakte/b.vcf</D:href>", ""),
          body + "<D:multistatus xmlns:D=\"DAV:\"/>"}) {
        EXPECT_FALSE(sync::parseMultistatus(broken).valid) << broken.toStdString();
    }
}

TEST(DavAddresses, OneSpellingPerBookAndMembersOnlyInsideIt) {
    const QUrl book(u"http://127.0.0.1:5232/anna/kontakte/"_s);
    for (const char* spelled :
         {"http://127.0.0.1:5232/anna/kontakte", "HTTP://127.0.0.1:5232/anna/kontakte/",
          "http://127.0.0.1:5232/anna/./kontakte/?x=1#y",
          "http://anna@127.0.0.1:5232/anna/kontakte/",
          "http://127.0.0.1:5232/anna/x/../kontakte"}) {
        EXPECT_EQ(sync::canonicalUrl(QUrl(QString::fromLatin1(spelled))), book) << spelled;
    }
    EXPECT_EQ(sync::canonicalUrl(QUrl(u"https://Server.Example:443/b%c3%bccher"_s)),
              QUrl(u"https://server.example/b%C3%BCcher/"_s));
    EXPECT_EQ(sync::hrefKey(book, u"http://127.0.0.1:5232/anna/kontakte/a%20b.vcf"_s),
              sync::hrefKey(book, u"a b.vcf"_s));
    EXPECT_EQ(sync::hrefKey(book, u"/anna/kontakte/M%c3%bcller.vcf"_s),
              sync::hrefKey(book, u"/anna/kontakte/Müller.vcf"_s));
    EXPECT_EQ(sync::memberUrl(book, u"/anna/kontakte/a.vcf"_s).toString(),
              u"http://127.0.0.1:5232/anna/kontakte/a.vcf"_s);
    for (const char* outside :
         {"../../x.vcf", "/anna/andere/a.vcf", "/anna/kontakte/",
          "http://127.0.0.2:5232/anna/kontakte/a.vcf", "https://127.0.0.1:5232/anna/kontakte/a.vcf",
          "/anna/kontakte/%2e%2e/%2e%2e/x.vcf", "//127.0.0.2/anna/kontakte/a.vcf"}) {
        try {
            (void)sync::memberUrl(book, QString::fromLatin1(outside));
            ADD_FAILURE() << "taken: " << outside;
        } catch (const sync::SyncError& e) {
            EXPECT_EQ(e.kind(), sync::SyncError::Kind::Foreign) << outside;
        }
    }
}

constexpr auto kServerCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:server-uid-1\r\nN:Bauer;Anna;;Frau;\r\nFN:Anna Bauer\r\n"
    "item1.TEL;TYPE=HOME,VOICE:0951 11111\r\nTEL;TYPE=CELL:0170 2222\r\n"
    "TEL;TYPE=WORK,VOICE:0951 33333\r\nBDAY:1980-04-01\r\n"
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAP//////////////////////////\r\n"
    " //////////////////////////////////8=\r\nEMAIL;TYPE=INTERNET:anna@example.de\r\n"
    "ADR;TYPE=HOME:;;Hauptstr. 1;Bamberg;;96047;\r\nADR;TYPE=WORK:;;Werkstr. 2;Bamberg;;96050;\r\n"
    "CATEGORIES:Freunde\r\nNOTE:alt\r\nEND:VCARD\r\n";

TEST(VcardMerge, UploadKeepsWhatWeDoNotMapAndReplacesWhatWeDo) {
    auto card = sync::cardFromText(kServerCard, u"Privat"_s);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->text(Field::Telefon), u"11111"_s) << "first voice number";
    EXPECT_EQ(card->text(Field::Strasse), u"Werkstr. 2"_s) << "the work address comes first";
    card->set(Field::Telefon, u"99999"_s);
    card->set(Field::Notizen, u"neu"_s);
    card->set(Field::Strasse, u"Neue Str. 3"_s);
    const QByteArray merged =
        sync::mergedVcard(kServerCard, *card, sync::extrasFromText(kServerCard), u"ours"_s, {});
    const QString text = QString::fromUtf8(merged);
    for (const char* kept : {"UID:server-uid-1", "BDAY:1980-04-01",
                             "TEL;TYPE=WORK,VOICE:0951 33333", "PHOTO;ENCODING=b;TYPE=JPEG:/9j/",
                             "CATEGORIES:Freunde", "ADR;TYPE=HOME:;;Hauptstr. 1;Bamberg;;96047;"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(kept))) << kept << "\n" << text.toStdString();
    }
    for (const char* gone : {"0951 11111", "NOTE:alt", "ADR;TYPE=WORK", "UID:ours", "Privat"}) {
        EXPECT_FALSE(text.contains(QString::fromUtf8(gone))) << gone << "\n" << text.toStdString();
    }
    EXPECT_EQ(text.count(u"BEGIN:VCARD"_s), 1);
    EXPECT_TRUE(text.endsWith(u"END:VCARD\r\n"_s));
    const auto back = sync::cardFromText(merged, u"Privat"_s);
    ASSERT_TRUE(back);
    EXPECT_TRUE(sync::sameFields(*back, *card)) << text.toStdString();
}

Card person(std::initializer_list<std::pair<Field, QString>> fields) {
    Card card;
    card.set(Field::Schlagworte, u"Bauer Anna"_s);
    card.set(Field::Nachname, u"Bauer"_s);
    card.set(Field::Vorname, u"Anna"_s);
    card.set(Field::Telefon, u"11111"_s);
    card.set(Field::Ort, u"Bamberg"_s);
    for (const auto& [field, value] : fields) {
        card.set(field, value);
    }
    return card;
}

struct PlanCase {
    const char* name;
    std::optional<Card> local;
    std::optional<Card> remote;
    std::optional<Card> base;
    sync::CardPlan::Local localAction;
    sync::CardPlan::Remote remoteAction;
    std::vector<std::pair<Field, QString>> merged;
    std::vector<Field> conflicts;
};

TEST(SyncPlan, EachSideChangeAndDeleteAndConflict) {
    using L = sync::CardPlan::Local;
    using R = sync::CardPlan::Remote;
    const Card base = person({});
    const PlanCase cases[] = {
        {"unchanged", base, base, base, L::Keep, R::Keep, {}, {}},
        {"changed here",
         person({{Field::Telefon, u"2"_s}}),
         base,
         base,
         L::Keep,
         R::Upload,
         {{Field::Telefon, u"2"_s}},
         {}},
        {"changed there",
         base,
         person({{Field::Ort, u"Fürth"_s}}),
         base,
         L::Write,
         R::Keep,
         {{Field::Ort, u"Fürth"_s}},
         {}},
        {"different fields on both sides merged",
         person({{Field::Telefon, u"2"_s}}),
         person({{Field::Ort, u"Fürth"_s}}),
         base,
         L::Write,
         R::Upload,
         {{Field::Telefon, u"2"_s}, {Field::Ort, u"Fürth"_s}},
         {}},
        {"same change on both sides",
         person({{Field::Ort, u"Hof"_s}}),
         person({{Field::Ort, u"Hof"_s}}),
         base,
         L::Keep,
         R::Keep,
         {{Field::Ort, u"Hof"_s}},
         {}},
        {"same field on both sides: the server's value stays",
         person({{Field::Ort, u"Hof"_s}}),
         person({{Field::Ort, u"Fürth"_s}}),
         base,
         L::Write,
         R::Upload,
         {{Field::Ort, u"Fürth"_s}},
         {Field::Ort}},
        {"deleted here", std::nullopt, base, base, L::Keep, R::Delete, {}, {}},
        {"deleted there", base, std::nullopt, base, L::Delete, R::Keep, {}, {}},
        {"deleted here, changed there: comes back",
         std::nullopt,
         person({{Field::Ort, u"Hof"_s}}),
         base,
         L::Create,
         R::Keep,
         {{Field::Ort, u"Hof"_s}},
         {}},
        {"deleted there, changed here: sent again",
         person({{Field::Ort, u"Hof"_s}}),
         std::nullopt,
         base,
         L::Keep,
         R::Create,
         {{Field::Ort, u"Hof"_s}},
         {}},
        {"new here", base, std::nullopt, std::nullopt, L::Keep, R::Create, {}, {}},
        {"new there", std::nullopt, base, std::nullopt, L::Create, R::Keep, {}, {}},
        {"gone on both sides", std::nullopt, std::nullopt, base, L::Keep, R::Keep, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto plan = sync::planCard({c.local, c.remote, c.base}, u"Konflikt:"_s);
        EXPECT_EQ(plan.local, c.localAction);
        EXPECT_EQ(plan.remote, c.remoteAction);
        EXPECT_EQ(plan.conflicts, c.conflicts);
        for (const auto& [field, value] : c.merged) {
            EXPECT_EQ(plan.merged.text(field), value)
                << veltro::store::columnName(field).toStdString();
        }
        if (!c.conflicts.empty()) {
            EXPECT_EQ(plan.merged.text(Field::Notizen), u"Konflikt:\nOrt: Hof"_s);
        }
    }
}

Card fromVcard(const char* lines) {
    return *sync::cardFromText(
        "BEGIN:VCARD\r\nVERSION:3.0\r\n" + QByteArray(lines) + "END:VCARD\r\n", u"Privat"_s);
}

TEST(SyncPlan, AnAddressBlockMadeFromTheFieldsFollowsChangesOfBothSides) {
    // Blocks made from the fields on all sides are made anew from the merged fields.
    const Card base = fromVcard("N:Bauer;Anna;;;\r\nADR;TYPE=WORK:;;Weg 1;Bamberg;;96047;\r\n");
    const Card local = fromVcard("N:Bauer;Anne;;;\r\nADR;TYPE=WORK:;;Weg 1;Bamberg;;96047;\r\n");
    const Card remote = fromVcard("N:Bauer;Anna;;;\r\nADR;TYPE=WORK:;;Weg 1;Hof;;95028;\r\n");
    const auto plan = sync::planCard({local, remote, base}, u"Konflikt:"_s);
    EXPECT_TRUE(plan.conflicts.empty());
    EXPECT_TRUE(plan.merged.text(Field::Anschrift).contains(u"Anne Bauer"_s));
    EXPECT_TRUE(plan.merged.text(Field::Anschrift).contains(u"95028 Hof"_s));
    // A block of the user's own changed on both sides is a conflict like any other field.
    const auto own = [](Card card, const QString& block) {
        card.set(Field::Anschrift, block);
        return card;
    };
    const auto clash = sync::planCard(
        {own(local, u"Anne\nBamberg"_s), own(remote, u"Anna\nHof"_s), own(base, u"Anna"_s)},
        u"Konflikt:"_s);
    EXPECT_EQ(clash.conflicts, std::vector<Field>{Field::Anschrift});
    EXPECT_EQ(clash.merged.text(Field::Anschrift), u"Anna\nHof"_s);
}

// Our own properties refine the standard ones only while those are what we wrote: another
// program's new number or address wins, and a block of the user's own yields to it.
TEST(VcardMerge, OurOwnPropertiesYieldToStandardOnesChangedElsewhere) {
    Card card = person({{Field::Vorwahl, QString()},
                        {Field::Telefon, u"0951 / 12 34-5"_s},
                        {Field::Strasse, u"Weg 1"_s},
                        {Field::Anschrift, u"Frau Anna Bauer\nbei Huber\nWeg 1\nBamberg"_s}});
    const QString written = QString::fromUtf8(sync::mergedVcard({}, card, {}, u"uid"_s, {}));
    ASSERT_TRUE(written.contains(u"X-VELTRO-TELEFON"_s)) << written.toStdString();
    ASSERT_TRUE(written.contains(u"X-VELTRO-ANSCHRIFT"_s)) << written.toStdString();
    const auto read = [](const QString& text) {
        return *sync::cardFromText(text.toUtf8(), u"Privat"_s);
    };
    EXPECT_TRUE(sync::sameFields(read(written), sync::comparable(card, u"Privat"_s)));

    QString phoneChanged = written;
    phoneChanged.replace(u"TEL;TYPE=HOME,VOICE:0951 / 12 34-5"_s,
                         u"TEL;TYPE=HOME,VOICE:0911 777"_s);
    ASSERT_NE(phoneChanged, written);
    EXPECT_EQ(read(phoneChanged).text(Field::Vorwahl), u"0911"_s);
    EXPECT_EQ(read(phoneChanged).text(Field::Telefon), u"777"_s);
    EXPECT_EQ(read(phoneChanged).text(Field::Anschrift), read(written).text(Field::Anschrift))
        << "the number does not touch the block";

    QString streetChanged = written;
    streetChanged.replace(u";;Weg 1;Bamberg"_s, u";;Gasse 2;Bamberg"_s);
    ASSERT_NE(streetChanged, written);
    const Card moved = read(streetChanged);
    EXPECT_EQ(moved.text(Field::Strasse), u"Gasse 2"_s);
    EXPECT_TRUE(moved.text(Field::Anschrift).contains(u"Gasse 2"_s));
    EXPECT_FALSE(moved.text(Field::Anschrift).contains(u"Weg 1"_s));

    const auto plan = sync::planCard({read(written), moved, read(written)}, u"Konflikt:"_s);
    EXPECT_TRUE(plan.conflicts.empty());
    EXPECT_TRUE(plan.merged.text(Field::Anschrift).contains(u"Gasse 2"_s));
    EXPECT_TRUE(
        plan.merged.text(Field::Notizen)
            .endsWith(u"Anschrift vor dem Abgleich:\nFrau Anna Bauer\nbei Huber\nWeg 1\nBamberg"_s))
        << plan.merged.text(Field::Notizen).toStdString();
}

}  // namespace
