#include "CliRun.h"
#include "TestHome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace veltro::testing;
using veltro::store::Field;

namespace {

CliRun duplicates(const QStringList& args) {
    return runCli(QStringList{QStringLiteral("duplicates")} + args);
}

void makeCards(const TestHome& home) {
    makeStore(home.dir(), {QStringLiteral("K")},
              {{QStringLiteral("Weiß Eva"), QStringLiteral("K")},
               {QStringLiteral("Koch Max"),
                QStringLiteral("K"),
                {{Field::Mobiltelefon, QStringLiteral("0171 2345678")}}},
               {QStringLiteral("Weiss Eva_1"), QStringLiteral("K")},
               {QStringLiteral("Max"),
                QStringLiteral("K"),
                {{Field::Telefon, QStringLiteral("+49 171 234 56 78")}}}});
}

TEST(DuplicatesCli, PrintsTheGroupsAsJsonWithTheirReasons) {
    TestHome home;
    makeCards(home);
    const CliRun run =
        duplicates({QString::fromStdString(home.dir().string()), QStringLiteral("--json")});
    ASSERT_EQ(run.status, 0);
    const QJsonArray groups =
        QJsonDocument::fromJson(run.out.toUtf8()).object()[QStringLiteral("groups")].toArray();
    ASSERT_EQ(groups.size(), 2);
    QStringList seen;
    for (const auto& group : groups) {
        QStringList headings;
        for (const auto& card : group[QStringLiteral("cards")].toArray()) {
            headings << card[QStringLiteral("heading")].toString();
        }
        const auto reasons = group[QStringLiteral("pairs")][0][QStringLiteral("reasons")].toArray();
        seen << headings.join(u'+') + u':' + reasons.toVariantList().first().toString();
    }
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Koch Max+Max:phone"),
                                 QStringLiteral("Weiß Eva+Weiss Eva_1:heading")}));
}

TEST(DuplicatesCli, PrintsTextAndRefusesWrongUse) {
    TestHome home;
    makeCards(home);
    const CliRun run = duplicates({QString::fromStdString(home.dir().string())});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("Weiß Eva – Weiss Eva_1: gleiche Überschrift")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("2 Gruppen möglicher Dubletten.\n")));
    EXPECT_EQ(duplicates({}).status, 2);
    EXPECT_EQ(duplicates({QStringLiteral("--json")}).status, 2);
    EXPECT_EQ(duplicates({QStringLiteral("/nicht/da")}).status, 1);
}

}  // namespace
