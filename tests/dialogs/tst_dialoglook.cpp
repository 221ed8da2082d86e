// How the two dialogs look, read from the pixels of rendered images: the
// column separators of the grid line delegate, the table's row colours, the
// frame and the buttons that the embedded style sheet gives them.
#include "common/recordinghost.h"
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "plugin/globals.h"

#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

const QColor Dark(0x6D, 0x6D, 0x6D);
const QColor Light(0xE8, 0xE8, 0xE8);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Frame(0x50, 0x50, 0x50);
const QColor Header(0x99, 0x99, 0x99);
constexpr int RowHeight = 27;

// A tolerance keeps the checks independent of rounding in the style.
bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2
        && qAbs(a.alpha() - b.alpha()) <= 2;
}

#define COMPARE_COLOUR(image, point, expected)                                                        \
    do {                                                                                              \
        const QColor actual_ = (image).pixelColor(point);                                             \
        QVERIFY2(near(actual_, expected), qPrintable(QStringLiteral("(%1, %2) is %3, expected %4")    \
                                                         .arg((point).x()).arg((point).y())           \
                                                         .arg(actual_.name(QColor::HexArgb),          \
                                                              (expected).name(QColor::HexArgb))));    \
    } while (false)

// Where 'widget' lies in the image of its top-level window 'dialog'.
QRect placeOf(const QWidget* dialog, const char* widget)
{
    const auto* child = dialog->findChild<QWidget*>(QLatin1String(widget));
    return child ? QRect(child->mapTo(dialog, QPoint(0, 0)), child->size()) : QRect();
}

} // namespace

class TestDialogLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        g_host = &m_host;
        m_host.inkList.records = {RecordingHost::ink("Cyan", 250), RecordingHost::ink("Magenta", 12.5)};
        m_host.refillLog.records = {RecordingHost::refill(2025, 1, 1, 0, 0, 0, "Cyan", 100),
                                    RecordingHost::refill(2024, 5, 1, 10, 0, 0, "Magenta", 50)};
    }

    void cleanupTestCase() { g_host = nullptr; }

    // Table: each cell's line on its last pixel column, over the full row
    // height, in its column's colour, down through the padding rows; beside
    // it rows 0, 2, 4, ... are #E8E8E8 and rows 1, 3, 5, ... white.
    // Frame: dark, rounded at the top, on a transparent window, white
    // content, grey header strip, the shadow below. The title-bar button shows
    // the frame through its borderless background, the others a dark border.
    // The sheet is read as UTF-8, so that the font family name arrives intact.
    void look_data()
    {
        QTest::addColumn<bool>("refillLog");
        QTest::addColumn<QVector<int>>("widths"); // all columns but the stretched last one
        QTest::addColumn<QVector<QColor>>("colours");
        QTest::addColumn<int>("rows");
        QTest::newRow("ink management") << false << QVector<int>{196} << QVector<QColor>{Dark, Light} << 13;
        QTest::newRow("refill log") << true << QVector<int>{205, 206} << QVector<QColor>{Dark, Dark, Light} << 10;
    }

    void look()
    {
        QFETCH(bool, refillLog);
        QFETCH(QVector<int>, widths);
        QFETCH(QVector<QColor>, colours);
        QFETCH(int, rows);
        const std::unique_ptr<QDialog> dialog(refillLog ? static_cast<QDialog*>(new InkRefillLog)
                                                        : new InkManagement(0));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        QWidget* viewport = dialog->findChild<QTableWidget*>()->viewport();
        QImage image = viewport->grab().toImage();
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

        image = dialog->grab().toImage();
        const QRect title = placeOf(dialog.get(), "widget_title");
        const QRect border = placeOf(dialog.get(), "widget_border");
        const QRect content = placeOf(dialog.get(), "widget_content");
        const QRect header = placeOf(dialog.get(), "widget_header");
        QVERIFY(!title.isEmpty() && !border.isEmpty() && !content.isEmpty() && !header.isEmpty());
        COMPARE_COLOUR(image, QPoint(0, 0), QColor(0, 0, 0, 0));
        COMPARE_COLOUR(image, title.center(), Frame);
        QVERIFY(image.pixelColor(title.topLeft()).alpha() < 255);
        QVERIFY(image.pixelColor(title.topRight()).alpha() < 255);
        COMPARE_COLOUR(image, QPoint(border.left() + 3, border.center().y()), Frame);
        COMPARE_COLOUR(image, content.topLeft() + QPoint(3, 3), White);
        COMPARE_COLOUR(image, QPoint(header.left() + 3, header.center().y()), Header);
        const QColor shadow = image.pixelColor(border.center().x(), border.bottom() + 3);
        QVERIFY2(shadow.alpha() > 0 && shadow.red() < 0x20, qPrintable(shadow.name(QColor::HexArgb)));

        for (const auto& [button, edge] : {std::pair{"pushButton_close_2", Frame}, std::pair{"pushButton_close", Dark}}) {
            const QRect r = placeOf(dialog.get(), button);
            QVERIFY(!r.isEmpty());
            for (const QPoint& p : {QPoint(r.left(), r.center().y()), QPoint(r.right(), r.center().y()),
                                    QPoint(r.center().x(), r.top()), QPoint(r.center().x(), r.bottom())})
                COMPARE_COLOUR(image, p, edge);
        }

        QFile file(QStringLiteral(":/Tintwell/res/qss/style.qss"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(dialog->styleSheet(), QString::fromUtf8(file.readAll()));
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("label_title"))->font().family(),
                 QStringLiteral("微软雅黑"));
    }

private:
    RecordingHost m_host;
};

QTEST_MAIN(TestDialogLook)
#include "tst_dialoglook.moc"
