#include "TestHome.h"

#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QFile>

#include <gtest/gtest.h>

namespace settings = veltro::settings;
namespace key = veltro::settings::key;
using veltro::testing::TestHome;

namespace {

TEST(Settings, AbsentKeysReadAsEmptyAndWrittenTextReadsBack) {
    TestHome home;
    EXPECT_EQ(settings::read(key::LetzteKategorie), QString());
    EXPECT_FALSE(settings::readNumber(key::PFensterWidth).has_value());
    EXPECT_TRUE(settings::readFlag(key::OPChk6, true));

    settings::write(key::LetzteKategorie, QStringLiteral("-Alle-"));
    settings::write(key::AFN, QStringLiteral("DejaVu Sans; mit = Zeichen, \"und\" Ümlaut"));
    settings::write(key::OPChk6, QStringLiteral("0"));
    EXPECT_EQ(settings::read(key::LetzteKategorie), QStringLiteral("-Alle-"));
    EXPECT_EQ(settings::read(key::AFN),
              QStringLiteral("DejaVu Sans; mit = Zeichen, \"und\" Ümlaut"));
    EXPECT_FALSE(settings::readFlag(key::OPChk6, true));
    EXPECT_TRUE(QFile::exists(home.settingsFile()));
}

TEST(Settings, NumbersAndTruthValuesReadBackOnAnyLocale) {
    TestHome home;
    settings::writeNumber(key::List1FontSize, 10.5);
    settings::writeNumber(key::PFensterWidth, 12345);
    settings::writeBool(key::AFB, true);
    EXPECT_EQ(settings::readNumber(key::List1FontSize), 10.5);
    EXPECT_EQ(settings::read(key::PFensterWidth), QStringLiteral("12345"));
    EXPECT_EQ(settings::readBool(key::AFB), true);
    // A value written with a decimal comma elsewhere still reads.
    EXPECT_EQ(settings::parseNumber(QStringLiteral("8,25")), 8.25);
    EXPECT_FALSE(settings::parseNumber(QStringLiteral("breit")).has_value());
}

TEST(Settings, SeveralValuesWrittenAtOnceReadBackAndKeepTheOthers) {
    TestHome home;
    settings::write(key::AFN, QStringLiteral("DejaVu Sans"));
    settings::write({{key::PFensterWidth, settings::numberText(9600)},
                     {key::PFensterMax, QStringLiteral("1")},
                     {key::LetzteKategorie, QStringLiteral("Ärzte")}});
    EXPECT_EQ(settings::readNumber(key::PFensterWidth), 9600);
    EXPECT_EQ(settings::read(key::PFensterMax), QStringLiteral("1"));
    EXPECT_EQ(settings::read(key::LetzteKategorie), QStringLiteral("Ärzte"));
    EXPECT_EQ(settings::read(key::AFN), QStringLiteral("DejaVu Sans"));
}

}  // namespace

namespace {

struct Stored {
    const char* key;
    const char* text;
    std::optional<double> read;
};

// Every number the program reads goes through the table: default, range, or nothing.
const Stored kStored[] = {
    {veltro::settings::key::SLd3, "", 50},
    {veltro::settings::key::SLd3, "abc", 50},
    {veltro::settings::key::SLd3, "-7", 0},
    {veltro::settings::key::SLd3, "250", 100},
    {veltro::settings::key::SLd4, "12,5", 12.5},
    {veltro::settings::key::OPOption, "9", 1},
    {veltro::settings::key::OPOption, "4", 4},
    {veltro::settings::key::AFS, "0", std::nullopt},
    {veltro::settings::key::AFS, "", std::nullopt},
    {veltro::settings::key::PFensterWidth, "10", 1500},
    {veltro::settings::key::SuchFensterTop, "inf", std::nullopt},
};

TEST(Settings, NumbersAreReadAsTheTableAllows) {
    const veltro::testing::TestHome home;
    for (const Stored& stored : kStored) {
        veltro::settings::write(stored.key, QString::fromUtf8(stored.text));
        EXPECT_EQ(veltro::settings::number(stored.key), stored.read)
            << stored.key << "=" << stored.text;
    }
    veltro::settings::write(veltro::settings::key::OPChk4, QString());
    EXPECT_TRUE(veltro::settings::flag(veltro::settings::key::OPChk4));
    veltro::settings::write(veltro::settings::key::OPChk4, QStringLiteral("0"));
    EXPECT_FALSE(veltro::settings::flag(veltro::settings::key::OPChk4));
}

}  // namespace
