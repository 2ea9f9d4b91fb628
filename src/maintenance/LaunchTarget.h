#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace veltro::maintenance {

// Where the text of "Adresse mit eMail / Internet verbinden" comes from: the widget
// that had the focus. Any other widget gives no text.
enum class LaunchSource { None, NotesBlock, AddressBlock, WebBox, MailBox };

// What a card's text asks the desktop to open: an e-mail to an address or a web page.
// Only mailto:, http: and https: addresses are ever produced, so no text from a card can
// open a local file or run a program.
class LaunchTarget {
public:
    enum class Kind { Mail, Web };

    // Nothing when the text is too short, has neither "@" nor ".", or would not make a
    // plain mail or web address.
    static std::optional<LaunchTarget> fromText(LaunchSource source, const QString& text);

    // A search for a postal address on OpenStreetMap, over https; its lines (street, postcode
    // and town, country) joined with commas. Nothing for an address without text.
    static std::optional<LaunchTarget> mapSearch(const QString& address);

    // The text trimmed and cut at the first line break or blank.
    static QString firstWord(const QString& text);

    [[nodiscard]] Kind kind() const { return kind_; }
    // The address as the question names it.
    [[nodiscard]] const QString& address() const { return address_; }
    [[nodiscard]] const QUrl& url() const { return url_; }
    [[nodiscard]] QString question() const;
    [[nodiscard]] QString title() const;

private:
    LaunchTarget(Kind kind, QString address, QUrl url);
    static std::optional<LaunchTarget> mail(QString address);
    static std::optional<LaunchTarget> web(const QString& text);

    Kind kind_;
    QString address_;
    QUrl url_;
};

}  // namespace veltro::maintenance
