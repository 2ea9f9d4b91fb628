// The window program as a user runs it, who types "4711" into the telephone box of the card
// shown at start and leaves it unsaved (with TYPING_EXTRAS, goes on to type "Klausi" as the
// nickname in the further details); "getippt" on stdout says so. Tests then end the
// program as the world may: a signal, a lost display. With TYPING_BRIEF_WAIT set, a store held
// by another program is given up on after a moment.
#include "mainwindow/MainWindow.h"
#include "mainwindow/Program.h"
#include "mainwindow/WindowProgram.h"
#include "store/BusyTimeouts.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    using veltro::mainwindow::Program;
    if (qEnvironmentVariableIsSet("TYPING_BRIEF_WAIT")) {
        veltro::store::setBusyTimeoutMs(200);
    }
    return veltro::mainwindow::runWindowProgram(argc, argv, [](Program& program) {
        QObject::connect(&program, &Program::mainWindowLoaded, &program, [&program] {
            QTimer::singleShot(0, &program, [&program] {
                auto* telephone =
                    program.mainWindow()->findChild<QLineEdit*>(QStringLiteral("Text3"));
                telephone->setFocus();
                telephone->end(false);
                QTest::keyClicks(telephone, QStringLiteral("4711"));
                if (qEnvironmentVariableIsSet("TYPING_EXTRAS")) {
                    program.mainWindow()
                        ->findChild<QAction*>(QStringLiteral("mnuWeitereAngaben"))
                        ->setChecked(true);
                    auto* nickname =
                        program.mainWindow()->findChild<QLineEdit*>(QStringLiteral("Spitzname"));
                    nickname->setFocus();
                    QTest::keyClicks(nickname, QStringLiteral("Klausi"));
                }
                std::printf("getippt\n");
                std::fflush(stdout);
            });
        });
    });
}
