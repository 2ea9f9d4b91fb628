#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace veltro::platform {

// The program's own help: German HTML pages built into the program as resources.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows (and raises) the one help window at the given page, "index.html" when empty.
    static void showPage(const QString& page);

private:
    explicit HelpWindow(QWidget* parent = nullptr);
    QTextBrowser* browser_;
};

}  // namespace veltro::platform
