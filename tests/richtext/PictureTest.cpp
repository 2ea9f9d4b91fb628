#include "TestData.h"
#include "TestTools.h"
#include "richtext/RichTextBlock.h"
#include "richtext/RtfPicture.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentPictures.h"
#include "richtext/TextDocumentRtf.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

// Pictures: read from every form, shown without waiting for them, written back unchanged.
namespace veltro::richtext {
namespace {

using test::encoded;
using test::filled;

std::vector<std::shared_ptr<const Picture>> pictures(const RichDocument& document) {
    std::vector<std::shared_ptr<const Picture>> out;
    for (const Paragraph& paragraph : document.paragraphs) {
        for (const TextRun& run : paragraph.runs) {
            if (run.picture) {
                out.push_back(run.picture);
            }
        }
    }
    return out;
}

TEST(Pictures, ReadFromEveryForm) {
    const QByteArray png = encoded(filled({4, 3}, Qt::red), "PNG");
    const QByteArray hex = png.toHex();
    struct Case {
        const char* name;
        QByteArray rtf;
        QByteArray type;
        int width;  // twips as shown
        int height;
        QByteArray words;
    };
    const Case cases[] = {
        {"hex with goal size",
         "{\\rtf1 a{\\pict\\picw4\\pich3\\picwgoal600\\pichgoal450\\pngblip " + hex + "}b}",
         "pngblip", 600, 450, "\\picw4\\pich3\\picwgoal600\\pichgoal450"},
        {"scaled as LibreOffice writes it",
         "{\\rtf1 a{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv "
         "x}}}\\picscalex1000\\picscaley500\\picw4\\pich3"
         "\\picwgoal60\\pichgoal45\\pngblip\r\n" +
             hex.left(40) + "\r\n" + hex.mid(40) + "}b}",
         "pngblip", 600, 225,
         "\\picscalex1000\\picscaley500\\picw4\\pich3\\picwgoal60\\pichgoal45"},
        {"pixels only", "{\\rtf1 a{\\pict\\pngblip\\picw4\\pich3 " + hex + "}b}", "pngblip", 60, 45,
         "\\picw4\\pich3"},
        {"binary data",
         "{\\rtf1 a{\\pict\\picw4\\pich3\\pngblip\\bin" + QByteArray::number(png.size()) + " " +
             png + "}b}",
         "pngblip", 60, 45, "\\picw4\\pich3"},
        {"Word's picture and its fallback",
         "{\\rtf1 a{\\*\\shppict{\\pict\\picw4\\pich3\\pngblip " + hex +
             "}}{\\nonshppict{\\pict\\wmetafile8 0100}}b}",
         "pngblip", 60, 45, "\\picw4\\pich3"},
        {"a metafile kept as it is",
         "{\\rtf1 a{\\pict\\wmetafile8\\picw2540\\pich1270\\bliptag7{\\*\\blipuid 00}0100090000}b}",
         "wmetafile8", 1440, 720, "\\picw2540\\pich1270\\bliptag7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RichDocument document = documentFromStored(QByteArrayView(c.rtf));
        const auto found = pictures(document);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0]->type, c.type);
        EXPECT_EQ(found[0]->widthTwips, c.width);
        EXPECT_EQ(found[0]->heightTwips, c.height);
        EXPECT_EQ(found[0]->words, c.words);
        if (c.type == "pngblip") {
            EXPECT_EQ(found[0]->data, png);
        }
        // The text around it is the plain text, the picture adds none.
        EXPECT_EQ(plainText(document, LineBreak::Lf), u"ab");
        EXPECT_EQ(plainTextFromStored(QByteArrayView(c.rtf), LineBreak::Lf), u"ab");
        // Written back unchanged.
        const QByteArray written = writeRtf(document);
        EXPECT_EQ(pictures(documentFromStored(QByteArrayView(written))).at(0)->data,
                  found[0]->data);
        EXPECT_TRUE(written.contains("{\\pict" + c.words + "\\" + c.type + "\r\n"))
            << written.toStdString();
    }
}

TEST(Pictures, WhatIsNoPictureInTheText) {
    const QByteArray cases[] = {
        "{\\rtf1 a{\\pict\\picw4 }b}",                          // no data
        "{\\rtf1 a{\\pict 89504e47}b}",                         // no type
        "{\\rtf1 a{\\v{\\pict\\pngblip 89504e47}}b}",           // hidden
        "{\\rtf1{\\pntext{\\pict\\pngblip 89}\\tab}a\\par b}",  // a picture bullet's label
    };
    for (const QByteArray& rtf : cases) {
        SCOPED_TRACE(rtf.toStdString());
        const RichDocument document = documentFromStored(QByteArrayView(rtf));
        EXPECT_TRUE(pictures(document).empty());
        EXPECT_EQ(plainText(document, LineBreak::Lf),
                  plainTextFromStored(QByteArrayView(rtf), LineBreak::Lf));
    }
}

QByteArray pictureRtf(const QImage& image, const char* format, const char* type) {
    const QByteArray data = encoded(image, format);
    return QByteArray("{\\pict\\picw") + QByteArray::number(image.width()) + "\\pich" +
           QByteArray::number(image.height()) + "\\" + type + " " + data.toHex() + "}";
}

TEST(Pictures, ThroughQtAndBackUnchanged) {
    const QByteArray rtf = "{\\rtf1 vor" +
                           pictureRtf(filled({8, 6}, Qt::blue), "JPEG", "jpegblip") +
                           "nach\\par{\\pict\\emfblip\\picw100\\pich100 01000000}\\par}";
    const RichDocument model = documentFromStored(QByteArrayView(rtf));
    ASSERT_EQ(pictures(model).size(), 2u);
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 10));  // as the writer assumes
    readRtfInto(document, rtf);
    EXPECT_EQ(document.toRawText(), QStringLiteral("vor\uFFFCnach\u2029\uFFFC"));
    const auto shown = pictures(richDocumentFrom(document));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(*shown[0], *pictures(model)[0]);
    EXPECT_EQ(*shown[1], *pictures(model)[1]);
    EXPECT_EQ(writeRtf(document), writeRtf(model));
}

TEST(Pictures, DecodedOnlyWhenShownAndThenDrawn) {
    RichTextBlock block;
    block.resize(300, 200);
    block.show();
    const int before = picturesDecoding();
    block.setRtfText(QString::fromLatin1(
        "{\\rtf1 " + pictureRtf(filled({800, 600}, Qt::red), "PNG", "pngblip") + "\\par}"));
    EXPECT_EQ(picturesDecoding(), before);  // the text is there, the pixels are not yet
    const auto centre = [&] {
        const QImage shot = block.viewport()->grab().toImage();
        return shot.pixelColor(shot.width() / 2, 60);
    };
    EXPECT_NE(centre(), QColor(Qt::red));  // a placeholder while decoding
    EXPECT_EQ(picturesDecoding(), before + 1);
    // Too wide for the block: shown as wide as the text, and drawn once decoded.
    QTRY_COMPARE_WITH_TIMEOUT(centre(), QColor(Qt::red), 5000);
    EXPECT_EQ(picturesDecoding(), before + 1);
}

TEST(Pictures, PastedImagesAreStoredAsPng) {
    RichTextBlock block;
    block.setRtfText(QStringLiteral("ab"));
    testing::select(block, 1, 1);
    auto* mime = new QMimeData;  // the clipboard takes it
    mime->setImageData(filled({5, 4}, Qt::green));
    QApplication::clipboard()->setMimeData(mime);
    ASSERT_TRUE(block.canPaste());
    block.paste();
    const RichDocument stored = documentFromStored(block.rtfText());
    const auto found = pictures(stored);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->type, "pngblip");
    EXPECT_EQ(found[0]->widthTwips, 75);
    const QImage back = decodePicture(*found[0], {});
    EXPECT_EQ(back.size(), QSize(5, 4));
    EXPECT_EQ(back.pixelColor(2, 2), QColor(Qt::green));
    EXPECT_EQ(block.plainText(), u"ab");

    // Copied and pasted inside the block, it stays the same picture.
    testing::select(block, 1, 2);
    block.copy();
    testing::select(block, 3, 3);
    block.paste();
    const auto both = pictures(documentFromStored(block.rtfText()));
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(*both[1], *both[0]);
}

}  // namespace
}  // namespace veltro::richtext
