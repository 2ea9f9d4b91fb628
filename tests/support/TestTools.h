#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace veltro::testing {

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the file anew; false when it cannot.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Selects from anchor to position, as a drag with the mouse would.
inline void select(QTextEdit& edit, int anchor, int position) {
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

// The widget of that object name below parent; a test failure when there is none.
template <typename W = QWidget>
W* childNamed(const QObject& parent, const QString& name) {
    auto* widget = parent.findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

// Object names are plain ASCII.
template <typename W = QWidget>
W* childNamed(const QObject& parent, const char* name) {
    return childNamed<W>(parent, QString::fromLatin1(name));
}

}  // namespace veltro::testing
