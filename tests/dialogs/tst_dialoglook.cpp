// How the two dialogs look, read from the pixels of rendered images: the
// column separators of the grid line delegate, the table's row colours, the
// frame and the buttons that the embedded style sheet gives them.
#include "common/recordinghost.h"
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "plugin/globals.h"

#include <QFile>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QColor Dark(0x6D, 0x6D, 0x6D);
const QColor Light(0xE8, 0xE8, 0xE8);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Frame(0x50, 0x50, 0x50);
const QColor Header(0x99, 0x99, 0x99);
constexpr int RowHeight = 27;

using DialogFactory = std::function<QDialog*()>;

QDialog* makeInkManagement() { return new InkManagement(0); }
QDialog* makeRefillLog() { return new InkRefillLog; }

QString describe(const QColor& colour)
{
    return colour.name(QColor::HexArgb);
}

// Style sheet rectangles are drawn without anti-aliasing on straight edges,
// but a tolerance keeps the checks independent of rounding in the style.
bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2
        && qAbs(a.blue() - b.blue()) <= 2 && qAbs(a.alpha() - b.alpha()) <= 2;
}

#define COMPARE_COLOUR(image, point, expected)                                                      \
    do {                                                                                            \
        const QColor actual_ = (image).pixelColor(point);                                           \
        QVERIFY2(near(actual_, expected),                                                           \
                 qPrintable(QStringLiteral("(%1, %2) is %3, expected %4")                           \
                                .arg((point).x()).arg((point).y())                                  \
                                .arg(describe(actual_), describe(expected))));                      \
    } while (false)

QTableWidget* tableOf(const QWidget* dialog)
{
    return dialog->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
}

} // namespace

Q_DECLARE_METATYPE(DialogFactory)

class TestDialogLook : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_host.reset(new RecordingHost);
        g_host = m_host.get();
        m_host->inkList.records = {RecordingHost::ink("Cyan", 250), RecordingHost::ink("Magenta", 12.5)};
        m_host->refillLog.records = {RecordingHost::refill(2025, 1, 1, 0, 0, 0, "Cyan", 100),
                                     RecordingHost::refill(2024, 5, 1, 10, 0, 0, "Magenta", 50)};
    }

    void cleanup()
    {
        m_dialog.reset();
        g_host = nullptr;
    }

    // Each cell's line sits on its last pixel column, over the full row
    // height, in its column's colour, down through the padding rows; beside
    // it rows 0, 2, 4, ... are #E8E8E8 and rows 1, 3, 5, ... white.
    void columnSeparators_data()
    {
        QTest::addColumn<DialogFactory>("factory");
        QTest::addColumn<QVector<int>>("widths"); // all columns but the stretched last one
        QTest::addColumn<QVector<QColor>>("colours");
        QTest::addColumn<int>("rows");
        QTest::newRow("ink management") << DialogFactory(makeInkManagement) << QVector<int>{196}
                                        << QVector<QColor>{Dark, Light} << 13;
        QTest::newRow("refill log") << DialogFactory(makeRefillLog) << QVector<int>{205, 206}
                                    << QVector<QColor>{Dark, Dark, Light} << 10;
    }

    void columnSeparators()
    {
        QFETCH(DialogFactory, factory);
        QFETCH(QVector<int>, widths);
        QFETCH(QVector<QColor>, colours);
        QFETCH(int, rows);
        QWidget* dialog = show(factory);
        QWidget* viewport = tableOf(dialog)->viewport();
        const QImage image = viewport->grab().toImage();

        QVector<int> lines;
        int x = 0;
        for (int width : widths)
            lines << (x += width) - 1;
        lines << viewport->width() - 1;
        QVERIFY(rows * RowHeight <= image.height());

        for (int row = 0; row < rows; ++row) {
            const int top = row * RowHeight;
            const QColor background = row % 2 ? White : Light;
            for (int c = 0; c < lines.size(); ++c) {
                for (int y : {top, top + RowHeight / 2, top + RowHeight - 1})
                    COMPARE_COLOUR(image, QPoint(lines[c], y), colours[c]);
                // One pixel wide: the neighbours show the row's colour.
                COMPARE_COLOUR(image, QPoint(lines[c] - 1, top + 2), background);
                if (c + 1 < lines.size())
                    COMPARE_COLOUR(image, QPoint(lines[c] + 1, top + 2), background);
            }
        }
    }

    // The title-bar button shows the frame colour through its transparent,
    // borderless background; every other button has a 1-pixel dark border.
    void buttonBorders_data()
    {
        QTest::addColumn<DialogFactory>("factory");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QColor>("edge");
        QTest::newRow("ink management, title bar")
            << DialogFactory(makeInkManagement) << QStringLiteral("pushButton_close_2") << Frame;
        QTest::newRow("refill log, title bar")
            << DialogFactory(makeRefillLog) << QStringLiteral("pushButton_close_2") << Frame;
        QTest::newRow("refill log, OK") << DialogFactory(makeRefillLog) << QStringLiteral("pushButton_close") << Dark;
    }

    void buttonBorders()
    {
        QFETCH(DialogFactory, factory);
        QFETCH(QString, button);
        QFETCH(QColor, edge);
        QWidget* dialog = show(factory);
        auto* target = dialog->findChild<QPushButton*>(button);
        QVERIFY(target);
        const QImage image = dialog->grab().toImage();
        const QRect r(target->mapTo(dialog, QPoint(0, 0)), target->size());
        const int middleY = r.top() + r.height() / 2;
        const int middleX = r.left() + r.width() / 2;
        COMPARE_COLOUR(image, QPoint(r.left(), middleY), edge);
        COMPARE_COLOUR(image, QPoint(r.right(), middleY), edge);
        COMPARE_COLOUR(image, QPoint(middleX, r.top()), edge);
        COMPARE_COLOUR(image, QPoint(middleX, r.bottom()), edge);
    }

    // The dark rounded frame on a transparent window, the white content and
    // the grey header strip, with the shadow below the frame.
    void frame_data()
    {
        QTest::addColumn<DialogFactory>("factory");
        QTest::addColumn<qreal>("blurRadius");
        QTest::newRow("ink management") << DialogFactory(makeInkManagement) << qreal(15);
        QTest::newRow("refill log") << DialogFactory(makeRefillLog) << qreal(9);
    }

    void frame()
    {
        QFETCH(DialogFactory, factory);
        QFETCH(qreal, blurRadius);
        QWidget* dialog = show(factory);
        auto* title = dialog->findChild<QWidget*>(QStringLiteral("widget_title"));
        auto* border = dialog->findChild<QWidget*>(QStringLiteral("widget_border"));
        auto* content = dialog->findChild<QWidget*>(QStringLiteral("widget_content"));
        auto* header = dialog->findChild<QWidget*>(QStringLiteral("widget_header"));
        QVERIFY(title && border && content && header);
        const QImage image = dialog->grab().toImage();

        COMPARE_COLOUR(image, QPoint(0, 0), QColor(0, 0, 0, 0));
        const QRect t(title->mapTo(dialog, QPoint(0, 0)), title->size());
        COMPARE_COLOUR(image, t.center(), Frame);
        // Rounded top corners: the corner pixel itself stays transparent.
        QVERIFY(image.pixelColor(t.topLeft()).alpha() < 255);
        QVERIFY(image.pixelColor(t.topRight()).alpha() < 255);
        const QRect b(border->mapTo(dialog, QPoint(0, 0)), border->size());
        COMPARE_COLOUR(image, QPoint(b.left() + 3, b.center().y()), Frame);
        COMPARE_COLOUR(image, content->mapTo(dialog, QPoint(3, 3)), White);
        COMPARE_COLOUR(image, header->mapTo(dialog, QPoint(3, header->height() / 2)), Header);

        // The shadow falls into the transparent band below the frame.
        const QColor shadow = image.pixelColor(b.center().x(), b.bottom() + 3);
        QVERIFY2(shadow.alpha() > 0 && shadow.red() < 0x20, qPrintable(describe(shadow)));

        auto* effect = qobject_cast<QGraphicsDropShadowEffect*>(border->graphicsEffect());
        QVERIFY(effect);
        QCOMPARE(effect->parent(), border);
        QCOMPARE(effect->blurRadius(), blurRadius);
        QCOMPARE(effect->offset(), QPointF(0, 5));
        QCOMPARE(effect->color(), QColor(0, 0, 0, 70));
    }

    // The sheet reaches the dialog as UTF-8: the font family name is intact
    // in the text and in the widgets' fonts.
    void styleSheetAsUtf8_data()
    {
        QTest::addColumn<DialogFactory>("factory");
        QTest::newRow("ink management") << DialogFactory(makeInkManagement);
        QTest::newRow("refill log") << DialogFactory(makeRefillLog);
    }

    void styleSheetAsUtf8()
    {
        QFETCH(DialogFactory, factory);
        QWidget* dialog = show(factory);
        QFile file(QStringLiteral(":/Tintwell/res/qss/style.qss"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(dialog->styleSheet(), QString::fromUtf8(file.readAll()));
        QVERIFY(dialog->styleSheet().contains(QStringLiteral("\"微软雅黑\"")));
        auto* label = dialog->findChild<QLabel*>(QStringLiteral("label_title"));
        QVERIFY(label);
        QCOMPARE(label->font().family(), QStringLiteral("微软雅黑"));
        QCOMPARE(label->font().pixelSize(), 15);
    }

private:
    QWidget* show(const DialogFactory& factory)
    {
        m_dialog.reset(factory());
        m_dialog->show();
        if (!QTest::qWaitForWindowExposed(m_dialog.get()))
            qWarning("the dialog was not exposed");
        return m_dialog.get();
    }

    std::unique_ptr<RecordingHost> m_host;
    std::unique_ptr<QDialog> m_dialog;
};

QTEST_MAIN(TestDialogLook)
#include "tst_dialoglook.moc"
