#include "RecordingPlatform.h"
#include "maintenance/LaunchCommand.h"
#include "maintenance/LaunchTarget.h"

#include <gtest/gtest.h>

namespace veltro::maintenance {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::ScopedRecordingPlatform;

struct LaunchCase {
    const char* name;
    LaunchSource source;
    QString text;
    QString asked;  // the address named by the question; empty: nothing happens
    QString url;    // what the desktop receives
};

const LaunchCase kCases[] = {
    {"MailBoxAddress", LaunchSource::MailBox, u"anna@beispiel.de"_s, u"anna@beispiel.de"_s,
     u"mailto:anna@beispiel.de"_s},
    {"WebWithHttpAskedWithout", LaunchSource::WebBox, u"http://www.x.de"_s, u"www.x.de"_s,
     u"http://www.x.de"_s},
    {"HttpInAnyCase", LaunchSource::WebBox, u"HTTP://www.x.de/seite"_s, u"www.x.de/seite"_s,
     u"http://www.x.de/seite"_s},
    {"WwwPutInFront", LaunchSource::WebBox, u"beispiel.de"_s, u"www.beispiel.de"_s,
     u"http://www.beispiel.de"_s},
    {"WwwInAnyCaseKept", LaunchSource::WebBox, u"WWW.Beispiel.de"_s, u"WWW.Beispiel.de"_s,
     u"http://www.beispiel.de"_s},
    {"HttpsKeptSecure", LaunchSource::WebBox, u"https://x.de"_s, u"https://www.x.de"_s,
     u"https://www.x.de"_s},
    {"PortAllowed", LaunchSource::WebBox, u"www.x.de:8080/a"_s, u"www.x.de:8080/a"_s,
     u"http://www.x.de:8080/a"_s},
    {"BlanksTrimmed", LaunchSource::MailBox, u"   anna@x.de   "_s, u"anna@x.de"_s,
     u"mailto:anna@x.de"_s},
    {"NotesFirstWordOnly", LaunchSource::NotesBlock, u"www.x.de ist unsere Seite"_s, u"www.x.de"_s,
     u"http://www.x.de"_s},
    {"NotesCutAtParagraph", LaunchSource::NotesBlock, u"www.x.de\u2029zweite Zeile"_s,
     u"www.x.de"_s, u"http://www.x.de"_s},
    {"CutAtLineFeed", LaunchSource::AddressBlock, u"www.x.de\nStraße"_s, u"www.x.de"_s,
     u"http://www.x.de"_s},
    {"CutAtTab", LaunchSource::AddressBlock, u"www.x.de\tStraße"_s, u"www.x.de"_s,
     u"http://www.x.de"_s},
    {"AddressBlockMailInFirstWord", LaunchSource::AddressBlock, u"info@firma.de Zentrale"_s,
     u"info@firma.de"_s, u"mailto:info@firma.de"_s},
    {"MailtoPrefixNotDoubled", LaunchSource::MailBox, u"mailto:anna@x.de"_s, u"anna@x.de"_s,
     u"mailto:anna@x.de"_s},
    {"UmlautAddressEncoded", LaunchSource::MailBox, u"jörg@müller.de"_s, u"jörg@müller.de"_s,
     u"mailto:j%C3%B6rg@m%C3%BCller.de"_s},
    // Nothing happens, and nothing is asked.
    {"FourLetters", LaunchSource::WebBox, u"x.de"_s, {}, {}},
    {"FourLettersAfterCut", LaunchSource::NotesBlock, u"a.de und mehr"_s, {}, {}},
    {"Empty", LaunchSource::MailBox, u"     "_s, {}, {}},
    {"NoAtNoDot", LaunchSource::WebBox, u"Beispiel"_s, {}, {}},
    {"OtherWidget", LaunchSource::None, u"anna@beispiel.de"_s, {}, {}},
    {"FileUrl", LaunchSource::WebBox, u"file:///etc/passwd"_s, {}, {}},
    {"FileUrlUpperCase", LaunchSource::NotesBlock, u"FILE:/etc/passwd"_s, {}, {}},
    {"JavaScript", LaunchSource::NotesBlock, u"javascript:alert(document.cookie)"_s, {}, {}},
    {"JavaScriptBehindHttp", LaunchSource::WebBox, u"http://javascript:alert(1).x"_s, {}, {}},
    {"JavaScriptWithAt", LaunchSource::MailBox, u"javascript:alert('a@b.de')"_s, {}, {}},
    {"MailWithAttachment", LaunchSource::MailBox, u"a@b.de?attach=/etc/passwd"_s, {}, {}},
    {"DataUrl", LaunchSource::WebBox, u"data:text/html,<b>x</b>.de"_s, {}, {}},
    {"LocalPath", LaunchSource::WebBox, u"/etc/passwd.txt"_s, {}, {}},
    {"WindowsPath", LaunchSource::WebBox, u"C:\\Programme\\x.exe"_s, {}, {}},
    {"SmbShare", LaunchSource::WebBox, u"\\\\server\\share.exe"_s, {}, {}},
};

class LaunchTargetTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(LaunchTargetTest, AsksAndOpens) {
    const LaunchCase& c = GetParam();
    const auto target = LaunchTarget::fromText(c.source, c.text);
    if (c.asked.isEmpty()) {
        EXPECT_FALSE(target.has_value());
        return;
    }
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->address(), c.asked);
    EXPECT_EQ(target->url().toString(QUrl::FullyEncoded), c.url);
    const QString scheme = target->url().scheme();
    EXPECT_TRUE(scheme == u"mailto" || scheme == u"http" || scheme == u"https");
}

INSTANTIATE_TEST_SUITE_P(Texts, LaunchTargetTest, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(LaunchCommandTest, AsksBeforeTheDesktopOpensAnything) {
    ScopedRecordingPlatform platform;
    platform->answers = {platform::Answer::Ok, platform::Answer::Cancel, platform::Answer::Ok};
    EXPECT_TRUE(launchMailOrWeb(LaunchSource::MailBox, u"anna@beispiel.de"_s));
    EXPECT_FALSE(launchMailOrWeb(LaunchSource::MailBox, u"anna@beispiel.de"_s));        // Cancel
    EXPECT_FALSE(launchMailOrWeb(LaunchSource::NotesBlock, u"javascript:alert(1)"_s));  // unasked
    EXPECT_TRUE(launchMailOrWeb(LaunchSource::WebBox, u"http://www.x.de"_s));
    ASSERT_EQ(platform->messages.size(), 3U);
    const auto& mail = platform->messages[0];
    EXPECT_EQ(mail.text, u"E-Mail-Verbindung herstellen zu\nanna@beispiel.de  ?      "_s);
    EXPECT_EQ(mail.title, u"E-Mail"_s);
    EXPECT_EQ(mail.buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(mail.icon, platform::Icon::Question);
    EXPECT_EQ(platform->messages[2].text,
              u"Internet-Verbindung herstellen zu\nwww.x.de  ?      "_s);
    EXPECT_EQ(platform->messages[2].title, u"Internet"_s);
    const std::vector<QUrl> opened = {QUrl(u"mailto:anna@beispiel.de"_s),
                                      QUrl(u"http://www.x.de"_s)};
    EXPECT_EQ(platform->openedUrls, opened);
}

// "Auf Karte zeigen": the address on one line, asked as a web page is, and sent over https
// with every character but the plain ones encoded, so that "&", "+" or "#" stay in the query.
TEST(LaunchCommandTest, AMapSearchAsksAndOpensOpenStreetMapOverHttps) {
    ScopedRecordingPlatform platform;
    platform->answers = {platform::Answer::Cancel, platform::Answer::Ok};
    const QString address = u"Straße 1 & 2+3\n 96047  Bamberg #4\n\nDeutschland"_s;
    EXPECT_FALSE(launchMapSearch(address));
    EXPECT_TRUE(launchMapSearch(address));
    EXPECT_FALSE(launchMapSearch(u" \n "_s));  // nothing to ask about
    ASSERT_EQ(platform->messages.size(), 2U);
    EXPECT_EQ(platform->messages[1].text,
              u"Internet-Verbindung herstellen zu\nOpenStreetMap: Straße 1 & 2+3, 96047 Bamberg "
              u"#4, Deutschland  ?      "_s);
    ASSERT_EQ(platform->openedUrls.size(), 1U);
    EXPECT_EQ(platform->openedUrls[0].toString(QUrl::FullyEncoded),
              u"https://www.openstreetmap.org/search?query=Stra%C3%9Fe%201%20%26%202%2B3%2C%2096047"
              u"%20Bamberg%20%234%2C%20Deutschland"_s);
}

}  // namespace
}  // namespace veltro::maintenance
