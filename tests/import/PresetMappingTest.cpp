#include "import/PresetExtras.h"
#include "import/PresetMapping.h"
#include "import/PreviewTable.h"

#include <gtest/gtest.h>

namespace veltro::import {
namespace {

using namespace Qt::Literals::StringLiterals;

// The source column caption mapped to a target, or "-".
QString captionFor(const FieldMapping& mapping, const char16_t* target) {
    const auto& source = mapping.source(*targetByName(QStringView(target)));
    return source ? source->caption : u"-"_s;
}

struct Case {
    const char* name;
    QStringList headers;
    QString program;  // empty: not recognised
    std::vector<std::pair<const char16_t*, QString>> mapped;
};

TEST(PresetMapping, OtherProgramsHeadersAreMappedOnTheirOwn) {
    const Case cases[] = {
        {"Google, newer layout, lower case",
         {u"first name"_s, u"last name"_s, u"organization name"_s, u"e-mail 1 - value"_s,
          u"phone 1 - value"_s},
         u"Google"_s,
         {{u"Karte", u"last name"_s}, {u"Firma", u"organization name"_s}}},
        {"only home address",
         {u"First Name"_s, u"Last Name"_s, u"Home Street"_s, u"Home City"_s, u"E-mail Address"_s},
         u"Outlook"_s,
         {{u"Straße", u"Home Street"_s}, {u"Ort", u"Home City"_s}}},
        {"our own header", {u"Karte"_s, u"Kategorie"_s, u"Vorname"_s, u"Nachname"_s}, {}, {}},
        {"names and mail",
         {u"First Name"_s, u"Last Name"_s, u"Display Name"_s, u"Primary Email"_s},
         u"Thunderbird"_s,
         {}},
        {"no names", {u"Display Name"_s, u"Primary Email"_s, u"Work Phone"_s}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto match = presetMapping(c.headers, u"Kunden"_s);
        ASSERT_EQ(match.has_value(), !c.program.isEmpty());
        if (!match) {
            continue;
        }
        EXPECT_EQ(match->program, c.program);
        EXPECT_EQ(match->mapping.category(), u"Kunden");
        for (const auto& [target, caption] : c.mapped) {
            EXPECT_EQ(captionFor(match->mapping, target), caption)
                << QString::fromUtf16(target).toStdString();
        }
    }
}

}  // namespace
}  // namespace veltro::import

namespace veltro::import {
namespace {

TEST(PresetExtras, ReadsOtherProgramsDatesAndNeverAColumnTwice) {
    using store::PartialDate;
    const std::pair<const char16_t*, std::optional<PartialDate>> dates[] = {
        {u"2/29/1980", PartialDate{1980, 2, 29}},
        {u"1975-11-30", PartialDate{1975, 11, 30}},
        {u" --05-03", PartialDate{0, 5, 3}},
        {u"29.2.1980", PartialDate{1980, 2, 29}},
        {u"0/0/00", std::nullopt},
        {u"2/30/1980", std::nullopt},
        {u"12/5/75", std::nullopt},
        {u"5/3", std::nullopt}};
    for (const auto& [text, date] : dates) {
        EXPECT_EQ(foreignDate(QStringView(text)), date) << QString::fromUtf16(text).toStdString();
    }
    // Other Phone dropped on "Telefon" goes there only; Google's first work number then
    // stays a further entry, since the field is taken.
    const QStringList headers = {u"Given Name"_s,     u"Family Name"_s,    u"E-mail 1 - Value"_s,
                                 u"Other Phone"_s,    u"Phone 1 - Type"_s, u"Phone 1 - Value"_s,
                                 u"Phone 2 - Type"_s, u"Phone 2 - Value"_s};
    auto match = presetMapping(headers, u"Kunden"_s);
    ASSERT_TRUE(match.has_value());
    const std::size_t phone = *targetByName(u"Telefon");
    const std::size_t mobile = *targetByName(u"Mobiltelefon");
    const QStringView record[] = {u"Mara",     u"Stein", u"m@s.example",
                                  u"0911 1",   u"Work",  u"0911 2 ::: 0911 3",
                                  u"* Mobile", u"0170 1"};
    const auto rowWith = [&] { return presetPreviewRow(match->mapping, record); };
    const PreviewRow byType = rowWith();
    EXPECT_EQ(byType[phone], u"0911 2");
    EXPECT_EQ(byType[mobile], u"0170 1");
    ASSERT_TRUE(byType.extras);
    EXPECT_EQ(byType.extras->entries,
              (std::vector<store::Entry>{
                  {store::EntryKind::Telefon, store::EntryType::Andere, u"0911 1"_s},
                  {store::EntryKind::Telefon, store::EntryType::Geschaeftlich, u"0911 3"_s}}));
    match->mapping.assign(phone, 3, u"Other Phone"_s);
    const PreviewRow dropped = rowWith();
    EXPECT_EQ(dropped[phone], u"0911 1");
    ASSERT_TRUE(dropped.extras);
    EXPECT_EQ(dropped.extras->entries,
              (std::vector<store::Entry>{
                  {store::EntryKind::Telefon, store::EntryType::Geschaeftlich, u"0911 2"_s},
                  {store::EntryKind::Telefon, store::EntryType::Geschaeftlich, u"0911 3"_s}}));
}

}  // namespace
}  // namespace veltro::import
