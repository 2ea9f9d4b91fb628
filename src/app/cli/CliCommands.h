#pragma once

#include <QStringList>
#include <QTextStream>

namespace veltro::cli {

// Output streams of the command-line companion.
QTextStream& out();
QTextStream& err();

// Each command gets its arguments after the command name and returns the exit status.
int newStore(const QStringList& args);
int demoStore(const QStringList& args);
int generate(const QStringList& args);
int listCards(const QStringList& args);
int showCard(const QStringList& args);
int exportCards(const QStringList& args);
int importFile(const QStringList& args);

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;
inline constexpr int kPartly = 3;  // done, but some records could not be read

}  // namespace veltro::cli
