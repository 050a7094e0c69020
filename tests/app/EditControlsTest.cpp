// Key and text rules of the edit controls, and the rotated label's shape.

#include <QLineEdit>
#include <QTest>

#include "GuiTest.h"
#include "widgets/AngleLabel.h"
#include "widgets/EditControls.h"

namespace corvane::test {

class EditControlsTest : public QObject {
    Q_OBJECT
private slots:
    void hexEditKeyVerdicts() {
        const auto none = Qt::NoModifier;
        for (const char* key : {"0", "9", "a", "F"})
            QCOMPARE(THexEdit::acceptsKey(0, QLatin1String(key), none), KeyVerdict::Accept);
        for (const char* key : {"g", "G", " ", "-", "x"})
            QCOMPARE(THexEdit::acceptsKey(0, QLatin1String(key), none), KeyVerdict::Refuse);
        QCOMPARE(THexEdit::acceptsKey(Qt::Key_Backspace, QStringLiteral("\b"), none), KeyVerdict::Accept);
        QCOMPARE(THexEdit::acceptsKey(Qt::Key_Return, QStringLiteral("\r"), none), KeyVerdict::Accept);
        QCOMPARE(THexEdit::acceptsKey(Qt::Key_Left, QString(), none), KeyVerdict::Pass);
        // Ctrl+V types a control character: refused like any other foreign key.
        QCOMPARE(THexEdit::acceptsKey(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier),
                 KeyVerdict::Refuse);
    }

    void hexEditTypingAndValue() {
        THexEdit edit(4);
        QTest::keyClicks(&edit, QStringLiteral("1gz2a-B9"));
        // Only hex digits get in, upper case, and no more than four of them.
        QCOMPARE(edit.text(), QStringLiteral("12AB"));
        QCOMPARE(edit.value(), std::uint64_t(0x12AB));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("12A"));

        edit.setValue(0x1F);
        QCOMPARE(edit.text(), QStringLiteral("001F"));
        edit.setDigits(8);
        edit.setValue(0xABC);
        QCOMPARE(edit.text(), QStringLiteral("00000ABC"));
        edit.clear();
        QCOMPARE(edit.value(), std::uint64_t(0));
    }

    void intEditKeysAndValue() {
        const auto none = Qt::NoModifier;
        for (const char* key : {"0", "7", "+", "-"})
            QCOMPARE(TIntEdit::acceptsKey(0, QLatin1String(key), none), KeyVerdict::Accept);
        for (const char* key : {"a", ".", "e", " "})
            QCOMPARE(TIntEdit::acceptsKey(0, QLatin1String(key), none), KeyVerdict::Refuse);

        TIntEdit edit;
        QTest::keyClicks(&edit, QStringLiteral("-1x2.5"));
        QCOMPARE(edit.text(), QStringLiteral("-125"));
        QCOMPARE(edit.value(), -125);
        QCOMPARE(TIntEdit::valueOf(QStringLiteral("+42")), 42);
        QCOMPARE(TIntEdit::valueOf(QStringLiteral("4-2")), 0);
        QCOMPARE(TIntEdit::valueOf(QStringLiteral("-")), 0);
        QCOMPARE(TIntEdit::valueOf(QString()), 0);
    }

    void numberEditKeepsLastAcceptedText() {
        const std::optional<std::uint64_t> max = 255;
        QCOMPARE(TumNumberEdit::filterText(QStringLiteral("200"), QStringLiteral("20"), max),
                 QStringLiteral("200"));
        QCOMPARE(TumNumberEdit::filterText(QStringLiteral("256"), QStringLiteral("25"), max),
                 QStringLiteral("25"));
        QCOMPARE(TumNumberEdit::filterText(QStringLiteral("2a"), QStringLiteral("2"), max),
                 QStringLiteral("2"));
        QCOMPARE(TumNumberEdit::filterText(QStringLiteral("-1"), QStringLiteral("1"), std::nullopt),
                 QStringLiteral("1"));
        QCOMPARE(TumNumberEdit::filterText(QStringLiteral("99999999999"), QStringLiteral("9"), std::nullopt),
                 QStringLiteral("99999999999"));

        TumNumberEdit edit;
        edit.setMaximum(300);
        edit.clear();
        QTest::keyClicks(&edit, QStringLiteral("29x9"));
        QCOMPARE(edit.text(), QStringLiteral("299"));
        QTest::keyClicks(&edit, QStringLiteral("0")); // 2990 is over the limit
        QCOMPARE(edit.text(), QStringLiteral("299"));
        QCOMPARE(edit.value(), std::uint64_t(299));
        edit.setMaximum(100);
        QCOMPARE(edit.value(), std::uint64_t(100));
    }

    void cellMasksTakeShortEntries() {
        QCOMPARE(optionalInputMask(QStringLiteral(">NNNN")), QStringLiteral(">nnnn"));
        QCOMPARE(optionalInputMask(QStringLiteral("99:99:99.999")), QStringLiteral("00:00:00.000"));
        QCOMPARE(optionalInputMask(QStringLiteral(">HHHHHHHH;_")), QStringLiteral(">hhhhhhhh;_"));
        QCOMPARE(optionalInputMask(QStringLiteral("\\A9")),
                 QStringLiteral("\\A0")); // an escaped literal stays
        QLineEdit edit;
        edit.setInputMask(optionalInputMask(QStringLiteral(">NNNN")));
        QTest::keyClicks(&edit, QStringLiteral("250"));
        QVERIFY(edit.hasAcceptableInput());
    }

    void umEditDisabledColour() {
        TumEdit edit;
        edit.setDisabledColour(QColor(1, 2, 3));
        edit.setEnabled(false);
        QCOMPARE(edit.palette().color(QPalette::Disabled, QPalette::Base), QColor(1, 2, 3));
    }

    void angleLabelSteps() {
        QCOMPARE(TantAngleLabel::normalisedAngle(270), 270);
        QCOMPARE(TantAngleLabel::normalisedAngle(100), 90);
        QCOMPARE(TantAngleLabel::normalisedAngle(-90), 270);
        QCOMPARE(TantAngleLabel::normalisedAngle(360), 0);

        TantAngleLabel label(QStringLiteral("Objects: 123"));
        const QSize flat = label.sizeHint();
        label.setAngle(270);
        const QSize down = label.sizeHint();
        QVERIFY(flat.width() > flat.height());
        QCOMPARE(down, flat.transposed());
        // The text really is painted, turned.
        label.resize(down);
        const QImage picture = label.grab().toImage();
        bool inked = false;
        for (int y = 0; y < picture.height() && !inked; ++y)
            for (int x = 0; x < picture.width() && !inked; ++x)
                inked = picture.pixelColor(x, y) != picture.pixelColor(0, 0);
        QVERIFY(inked);
    }
};

static RegisterGuiTest<EditControlsTest> registration;

} // namespace corvane::test

#include "EditControlsTest.moc"
