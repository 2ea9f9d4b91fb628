#pragma once

#include "RecordingPlatform.h"
#include "TestHome.h"
#include "TestTools.h"
#include "options/OptionsDialog.h"

#include <QApplication>
#include <QColor>
#include <QListView>

#include <gtest/gtest.h>

#include <memory>

namespace veltro::testing {

// Colours as the user sees them, written out here rather than taken from the code.
inline const QColor kWhite{255, 255, 255};
inline const QColor kYellow{255, 255, 0};
inline const QColor kPaleGreen{0xE0, 0xF0, 0xE0};
inline const QColor kSky{0xC0, 0xDF, 0xFF};
inline const QColor kTeal{0x00, 0x80, 0x80};
inline const QColor kGreyTeal{0x80, 0xA0, 0xA0};
inline const QColor kDarkGreen{0x00, 0x40, 0x00};

inline QColor systemColour(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

// The options dialog on a fresh settings store, with a card list of its own.
class OptionsDialogFixture : public ::testing::Test {
protected:
    options::OptionsDialog& load() {
        dialog_ = std::make_unique<options::OptionsDialog>(&cardList_);
        return *dialog_;
    }

    template <typename W>
    W* child(const QString& name) const {
        return childNamed<W>(*dialog_, name);
    }
    template <typename W>
    W* child(const char* name) const {
        return childNamed<W>(*dialog_, name);
    }

    TestHome home_;
    ScopedRecordingPlatform platform_;
    QListView cardList_;
    std::unique_ptr<options::OptionsDialog> dialog_;
};

}  // namespace veltro::testing
