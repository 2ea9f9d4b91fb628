#include "LibreOffice.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <map>
#include <optional>
#include <vector>

namespace veltro::richtext::test {
namespace {

QByteArray unzipped(const QString& zip, const QString& member) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    unzip.waitForFinished(60000);
    return unzip.readAllStandardOutput();
}

struct TextProps {
    std::optional<bool> bold, italic, underline, strike;
    std::optional<int> position;  // > 0 raised, < 0 lowered

    void over(const TextProps& base) {
        bold = bold ? bold : base.bold;
        italic = italic ? italic : base.italic;
        underline = underline ? underline : base.underline;
        strike = strike ? strike : base.strike;
        position = position ? position : base.position;
    }
};

struct Style {
    TextProps text;
    QString parent;
    QString listStyle;
};

struct ListLevel {
    QString label;  // "1.", "a)", "(A)", "•"
    int start = 1;
};

QString normalizedBullet(const QString& bullet) {
    static const QHash<QString, QString> kSame = {{QString(QChar(0xF0B7)), QStringLiteral("•")},
                                                  {QString(QChar(0x00B7)), QStringLiteral("•")},
                                                  {QStringLiteral("o"), QStringLiteral("◦")},
                                                  {QString(QChar(0xF0A7)), QStringLiteral("▪")},
                                                  {QString(QChar(0x25A0)), QStringLiteral("▪")},
                                                  {QString(QChar(0xF0A8)), QStringLiteral("▪")}};
    return kSame.value(bullet, bullet);
}

std::optional<int> position(const QString& value) {
    const QString first = value.section(u' ', 0, 0);
    if (first == u"super") {
        return 1;
    }
    if (first == u"sub") {
        return -1;
    }
    const double percent = first.chopped(first.endsWith(u'%') ? 1 : 0).toDouble();
    return percent > 0 ? 1 : percent < 0 ? -1 : 0;
}

// The formats and list styles of content.xml and styles.xml.
class Styles {
public:
    void read(const QByteArray& xml) {
        QXmlStreamReader reader(xml);
        QString style;
        QString list;
        while (!reader.atEnd()) {
            if (!reader.readNextStartElement()) {
                continue;
            }
            const auto a = reader.attributes();
            const QStringView name = reader.qualifiedName();
            if (name == u"style:style") {
                style = a.value(QLatin1StringView("style:name")).toString();
                styles_[style].parent =
                    a.value(QLatin1StringView("style:parent-style-name")).toString();
                styles_[style].listStyle =
                    a.value(QLatin1StringView("style:list-style-name")).toString();
            } else if (name == u"style:text-properties" && !style.isEmpty()) {
                textProps(a, styles_[style].text);
            } else if (name == u"text:list-style") {
                list = a.value(QLatin1StringView("style:name")).toString();
            } else if (name == u"text:list-level-style-number" ||
                       name == u"text:list-level-style-bullet") {
                ListLevel& level = lists_[list][a.value(QLatin1StringView("text:level")).toInt()];
                if (name == u"text:list-level-style-bullet") {
                    level.label =
                        normalizedBullet(a.value(QLatin1StringView("text:bullet-char")).toString());
                } else {
                    level.label = a.value(QLatin1StringView("style:num-prefix")).toString() +
                                  a.value(QLatin1StringView("style:num-format")).toString() +
                                  a.value(QLatin1StringView("style:num-suffix")).toString();
                    level.start = a.hasAttribute(QLatin1StringView("text:start-value"))
                                      ? a.value(QLatin1StringView("text:start-value")).toInt()
                                      : 1;
                }
            }
        }
    }

    TextProps text(const QString& name) const {
        TextProps props;
        QString at = name;
        for (int depth = 0; depth < 20 && styles_.contains(at); ++depth) {
            props.over(styles_.at(at).text);
            at = styles_.at(at).parent;
        }
        return props;
    }
    QString listStyleOf(const QString& paragraphStyle) const {
        const auto it = styles_.find(paragraphStyle);
        return it == styles_.end() ? QString() : it->second.listStyle;
    }
    ListLevel level(const QString& list, int level) const {
        const auto it = lists_.find(list);
        if (it == lists_.end() || !it->second.contains(level)) {
            return {QStringLiteral("?"), 1};
        }
        return it->second.at(level);
    }

private:
    static void textProps(const QXmlStreamAttributes& a, TextProps& props) {
        if (a.hasAttribute(QLatin1StringView("fo:font-weight"))) {
            props.bold = a.value(QLatin1StringView("fo:font-weight")) == u"bold";
        }
        if (a.hasAttribute(QLatin1StringView("fo:font-style"))) {
            props.italic = a.value(QLatin1StringView("fo:font-style")) == u"italic";
        }
        if (a.hasAttribute(QLatin1StringView("style:text-underline-style"))) {
            props.underline = a.value(QLatin1StringView("style:text-underline-style")) != u"none";
        }
        if (a.hasAttribute(QLatin1StringView("style:text-line-through-style"))) {
            props.strike = a.value(QLatin1StringView("style:text-line-through-style")) != u"none";
        }
        if (a.hasAttribute(QLatin1StringView("style:text-position"))) {
            props.position = position(a.value(QLatin1StringView("style:text-position")).toString());
        }
    }

    std::map<QString, Style> styles_;
    std::map<QString, std::map<int, ListLevel>> lists_;
};

QString attributes(const TextProps& p, const QString& link) {
    QStringList parts;
    if (p.bold.value_or(false)) {
        parts << QStringLiteral("b");
    }
    if (p.italic.value_or(false)) {
        parts << QStringLiteral("i");
    }
    if (p.underline.value_or(false)) {
        parts << QStringLiteral("u");
    }
    if (p.strike.value_or(false)) {
        parts << QStringLiteral("s");
    }
    if (p.position.value_or(0) != 0) {
        parts << QString::fromLatin1(*p.position > 0 ? "sup" : "sub");
    }
    if (!link.isEmpty()) {
        parts << u'<' + link + u'>';
    }
    return parts.join(u' ');
}

int twips(QStringView length) {
    const double inches = length.endsWith(u"in")   ? length.chopped(2).toDouble()
                          : length.endsWith(u"cm") ? length.chopped(2).toDouble() / 2.54
                                                   : 0;
    return static_cast<int>(std::lround(inches * 1440 / 10) * 10);
}

// Walks the body of content.xml, one line per paragraph.
class Body {
public:
    explicit Body(const Styles& styles) : styles_(styles) {}

    QStringList read(const QByteArray& xml) {
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            if (reader.readNextStartElement() && reader.qualifiedName() == u"office:text") {
                children(reader);
            }
        }
        return lines_;
    }

private:
    struct Run {
        QString text;
        QString attrs;
    };

    void children(QXmlStreamReader& reader) {
        while (reader.readNextStartElement()) {
            element(reader);
        }
    }

    void element(QXmlStreamReader& reader) {
        const QString name = reader.qualifiedName().toString();
        const auto a = reader.attributes();
        if (name == u"text:list") {
            const QString style = a.value(QLatin1StringView("text:style-name")).toString();
            lists_.push_back(style.isEmpty() && !lists_.empty() ? lists_.back() : style);
            children(reader);
            lists_.pop_back();
        } else if (name == u"text:p" || name == u"text:h") {
            paragraph(reader, a.value(QLatin1StringView("text:style-name")).toString());
        } else if (name == u"table:table") {
            cells_.push_back({++tables_, -1, -1});
            children(reader);
            cells_.pop_back();
        } else if (name == u"table:table-row") {
            ++cells_.back().row;
            cells_.back().column = -1;
            children(reader);
        } else if (name == u"table:table-cell" || name == u"table:covered-table-cell") {
            ++cells_.back().column;
            spans_ = QString();
            if (a.value(QLatin1StringView("table:number-rows-spanned")).toInt() > 1) {
                spans_ += QStringLiteral(" rs") +
                          a.value(QLatin1StringView("table:number-rows-spanned")).toString();
            }
            if (a.value(QLatin1StringView("table:number-columns-spanned")).toInt() > 1) {
                spans_ += QStringLiteral(" cs") +
                          a.value(QLatin1StringView("table:number-columns-spanned")).toString();
            }
            children(reader);
        } else if (name == u"text:list-item" || name == u"text:section" ||
                   name == u"table:table-rows" || name == u"table:table-header-rows") {
            children(reader);
        } else {
            reader.skipCurrentElement();
        }
    }

    void paragraph(QXmlStreamReader& reader, const QString& style) {
        QString line;
        if (!cells_.empty()) {
            line += QStringLiteral("|t%1 r%2 c%3%4| ")
                        .arg(cells_.back().table)
                        .arg(cells_.back().row)
                        .arg(cells_.back().column)
                        .arg(spans_);
        }
        if (!lists_.empty()) {
            const QString list =
                lists_.front().isEmpty() ? styles_.listStyleOf(style) : lists_.front();
            const ListLevel level = styles_.level(list, static_cast<int>(lists_.size()));
            line += QStringLiteral("#%1 %2").arg(lists_.size()).arg(level.label);
            if (level.start != 1) {
                line += QStringLiteral("@%1").arg(level.start);
            }
            line += u' ';
        }
        runs_.clear();
        inline_(reader, styles_.text(style), QString());
        for (const Run& run : runs_) {
            line += run.attrs.isEmpty() ? run.text : u'[' + run.text + u'|' + run.attrs + u']';
        }
        lines_ << line;
    }

    void add(const QString& text, const TextProps& props, const QString& link) {
        const QString attrs = attributes(props, link);
        if (!runs_.empty() && runs_.back().attrs == attrs && !text.startsWith(u"[img")) {
            runs_.back().text += text;
        } else {
            runs_.push_back({text, attrs});
        }
    }

    void inline_(QXmlStreamReader& reader, const TextProps& props, const QString& link) {
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isEndElement()) {
                return;
            }
            if (reader.isCharacters()) {
                add(reader.text().toString(), props, link);
                continue;
            }
            if (!reader.isStartElement()) {
                continue;
            }
            const QStringView name = reader.qualifiedName();
            const auto a = reader.attributes();
            if (name == u"text:span") {
                TextProps inner =
                    styles_.text(a.value(QLatin1StringView("text:style-name")).toString());
                inner.over(props);
                inline_(reader, inner, link);
            } else if (name == u"text:a") {
                inline_(reader, props, a.value(QLatin1StringView("xlink:href")).toString());
            } else if (name == u"text:s") {
                add(QString(std::max(1, a.value(QLatin1StringView("text:c")).toInt()), u' '), props,
                    link);
                reader.skipCurrentElement();
            } else if (name == u"text:tab") {
                add(QStringLiteral("\t"), props, link);
                reader.skipCurrentElement();
            } else if (name == u"text:line-break") {
                add(QStringLiteral("\n"), props, link);
                reader.skipCurrentElement();
            } else if (name == u"draw:frame") {
                add(QStringLiteral("[img %1x%2]")
                        .arg(twips(a.value(QLatin1StringView("svg:width"))))
                        .arg(twips(a.value(QLatin1StringView("svg:height")))),
                    {}, {});
                reader.skipCurrentElement();
            } else {
                reader.skipCurrentElement();
            }
        }
    }

    struct Cell {
        int table = 0;
        int row = 0;
        int column = 0;
    };

    const Styles& styles_;
    QStringList lines_;
    std::vector<QString> lists_;
    std::vector<Cell> cells_;
    QString spans_;
    int tables_ = -1;
    std::vector<Run> runs_;
};

}  // namespace

LibreOffice::LibreOffice() = default;

::testing::AssertionResult LibreOffice::convert(const QString& filter, const QStringList& inputs,
                                                const QString& outDir) const {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        return ::testing::AssertionFailure()
               << "soffice is missing: install libreoffice-writer-nogui";
    }
    QProcess process;
    const QStringList arguments{
        QStringLiteral("-env:UserInstallation=file://") + path(QStringLiteral("profile")),
        QStringLiteral("--headless"),
        QStringLiteral("--convert-to"),
        filter,
        QStringLiteral("--outdir"),
        outDir};
    process.start(soffice, arguments + inputs);
    if (!process.waitForFinished(180000)) {
        return ::testing::AssertionFailure() << "soffice did not finish";
    }
    if (process.exitCode() != 0) {
        return ::testing::AssertionFailure() << process.readAllStandardError().toStdString();
    }
    return ::testing::AssertionSuccess();
}

QString withPlainBlanks(QString text) {
    return text.replace(QString::fromUtf8("\u2006 "), QStringLiteral(" "));
}

QString libreOfficeText(const QByteArray& exported) {
    QString text = QString::fromUtf8(exported);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    // List items: "    • text" and "        a) text", four blanks a level.
    static const QRegularExpression label(
        QString::fromUtf8("(^|\n)(    )+(\\(?[0-9A-Za-z]+[.)]?|[•·\uF0B7▪◦o]) "));
    static const QRegularExpression bullet(QString::fromUtf8("(^|\n) *[•·\uF0B7▪] "));
    text.replace(label, QStringLiteral("\\1"));
    text.replace(bullet, QStringLiteral("\\1"));
    return withPlainBlanks(text);
}

bool endsWithTable(const RichDocument& document) {
    return !document.paragraphs.empty() && document.paragraphs.back().place.table >= 0;
}

QString libreOfficeLines(RichDocument document) {
    if (endsWithTable(document)) {
        document.paragraphs.emplace_back();
    }
    for (Paragraph& paragraph : document.paragraphs) {
        paragraph.place = {};
    }
    return plainText(document, LineBreak::Lf);
}

QStringList describeOdt(const QString& odtPath) {
    Styles styles;
    styles.read(unzipped(odtPath, QStringLiteral("styles.xml")));
    const QByteArray content = unzipped(odtPath, QStringLiteral("content.xml"));
    styles.read(content);
    return Body(styles).read(content);
}

}  // namespace veltro::richtext::test
