#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <string_view>

namespace veltro {

// The base of the program's own errors: the German sentence the user reads and the
// technical detail for the log (an engine's or library's own words, which the user never
// sees). what() is the detail.
class Error : public std::exception {
public:
    enum class Kind {
        Store,      // the card file refused, is busy or damaged
        File,       // another file: missing, unreadable, disk full
        Network,    // the server or the way to it
        Input,      // what a file or the user gave cannot be used
        Cancelled,  // the user stopped it: nothing to tell
        Internal,   // a fault of the program itself
    };

    // Without a detail, the user's text is the detail too.
    Error(Kind kind, QString userText, std::string_view detail = {});

    [[nodiscard]] Kind kind() const { return kind_; }
    [[nodiscard]] const QString& userText() const { return userText_; }
    [[nodiscard]] QString detail() const { return QString::fromUtf8(detail_); }
    [[nodiscard]] const char* what() const noexcept override { return detail_.constData(); }

private:
    Kind kind_;
    QString userText_;
    QByteArray detail_;  // shared, so that copying the error cannot throw
};

}  // namespace veltro
