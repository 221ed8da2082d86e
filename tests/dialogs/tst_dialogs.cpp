// SPDX-License-Identifier: MIT
// Both windows as a host feeds them and an operator meets them: what the two
// tables show for what the host answers, what happens to the host's arrays
// and what the host hears about it; how the windows look, compared with
// reference pictures of each window in its distinct states, rendered
// offscreen with fixed data in both shipped languages
// (VQ_UPDATE_REFERENCES=1 writes the references instead); their kind of
// window, keys and dragging.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "dialogs/recordformat.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "testsupport/recordinghost.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

#include <functional>
#include <limits>
#include <memory>

#ifdef __GLIBC__
#  include <malloc.h>
#endif

namespace {

using Rows = QVector<QStringList>;
using Answer = RecordingHost::Answer;

const QString ListFailed = QStringLiteral("墨水加密：获取墨水信息列表失败");
const QString LogEmpty = QStringLiteral("墨水加密：没有需要显示的加墨记录");
const QString LogFailed = QStringLiteral("墨水加密：获取加墨记录列表失败！");

const auto tableOf = [](const QDialog& dialog) { return dialog.findChild<QTableWidget*>("tableWidget_inkList"); };

// The rows as an operator reads them, the empty ones at the end left out.
Rows shownRows(const QDialog& dialog)
{
    const QTableWidget* table = tableOf(dialog);
    Rows rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        rows << cells;
    }
    while (!rows.isEmpty() && rows.last().join(QString()).isEmpty())
        rows.removeLast();
    return rows;
}

QStringList namesOf(const std::vector<InkRecord>& records)
{
    QStringList names;
    for (const InkRecord& record : records)
        names << RecordFormat::name(record, RecordFormat::localCodec());
    return names;
}

// A pixel differs when a channel differs by more than this; a picture
// differs when more than this share of its pixels do (five of 875 x 563).
constexpr int ChannelTolerance = 2;
constexpr double DifferingShare = 0.00001;

// Empty when 'actual' matches the reference 'name'; else what differs, with
// the actual picture written beside the test.
QString compareWithReference(const QImage& actual, const QString& name)
{
    const QString reference = VQ_REFERENCE_DIR "/" + name + ".png";
    if (qEnvironmentVariableIsSet("VQ_UPDATE_REFERENCES"))
        return actual.save(reference) ? QString() : "cannot write " + reference;
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    const QString out = QCoreApplication::applicationDirPath() + "/" + name;
    actual.save(out + "-actual.png");
    if (expected.size() != actual.size())
        return QString("%1-actual.png is not of the size of %2").arg(out, reference);
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            differing += std::max({qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)), qAbs(qBlue(a) - qBlue(e)),
                                   qAbs(qAlpha(a) - qAlpha(e))})
                > ChannelTolerance;
        }
    if (differing <= DifferingShare * actual.width() * actual.height())
        return QString();
    return QString("%1 pixels differ from %2: see %3-actual.png").arg(differing).arg(reference, out);
}

std::unique_ptr<QDialog> makeDialog(const QString& name)
{
    if (name == "InkManagement")
        return std::make_unique<InkManagement>(0);
    return std::make_unique<InkRefillLog>();
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& global, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, widget->mapFromGlobal(global), global, type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A window as the host feeds it and the operator last left it: language,
// the folder of the translation; records, of the host's answer, -1 when it
// refuses; tabs pressed; hovered, where the mouse is; pressed by the mouse at the end.
struct Look
{
    QString dialog, language;
    bool limited;
    int records, tabs;
    QString hovered, pressed;
};

} // namespace

Q_DECLARE_METATYPE(RecordingHost::Answer)
Q_DECLARE_METATYPE(Look)

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The screen's own DPI, as in a host: QTest's 96 would hide what a
        // scaled screen does to the style's metrics.
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
        CTranslatorMgr::instance()->loadTranslator();
        g_host = &m_host;
    }

    void cleanup()
    {
        QApplication::setFont(m_font);
        g_host = &m_host;
    }

    // The ink list in the host's order, amounts to six significant digits,
    // at least 13 rows; the refill log
    // newest first, sorted in the host's own array, times with every field
    // but the year padded to two digits, fields compared as signed numbers,
    // at least 10 rows. A vertical scroll bar beyond them. Names read only
    // within their 128 bytes. A count without an array, or an empty list, is
    // told to the host; a negative count sorts nothing.
    void tables_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<Rows>("shown");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QStringList>("lines");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("ink limited")
            << "InkManagement"
            << Answer{true,
                      {inkRecord("Cyan", 250), inkRecord("Black", 12.5), inkRecord("Cyan", 0.25),
                       inkRecord("Cyan", 1234567), inkRecord("Cyan", 0.00001), inkRecord("Cyan", 123456),
                       inkRecord("Cyan", 0.0001), inkRecord("Cyan", 99.99999), inkRecord("Cyan", 0.1 + 0.2),
                       inkRecord("Cyan", -2.5e-7), inkRecord("Cyan", 0), inkRecord("Cyan", inf),
                       inkRecord(QByteArray(127, 'M'), 1), inkRecord("Yellow", 2)}}
            << Rows{{"Cyan", "250ml"},          {"Black", "12.5ml"},    {"Cyan", "0.25ml"},   {"Cyan", "1.23457e+06ml"},
                    {"Cyan", "1e-05ml"},        {"Cyan", "123456ml"},   {"Cyan", "0.0001ml"}, {"Cyan", "100ml"},
                    {"Cyan", "0.3ml"},          {"Cyan", "-2.5e-07ml"}, {"Cyan", "0ml"},      {"Cyan", "infml"},
                    {QString(127, 'M'), "1ml"}, {"Yellow", "2ml"}}
            << 14 << QStringList();
        // Names come from the local code set, which VQ_CODESET names: UTF-8,
        // and GB2312 under the CTest entry of its own (code page 936 on Windows).
        QTest::newRow("ink names in the local code set")
            << "InkManagement"
            << Answer{true,
                      {inkRecord(qgetenv("VQ_CODESET") == "GB2312" ? "\xC7\xE0\xC9\xAB" : "\xE9\x9D\x92\xE8\x89\xB2",
                                 1)}}
            << Rows{{"青色", "1ml"}} << 13 << QStringList();
        QTest::newRow("refills, newest first by every field, signed")
            << "InkRefillLog"
            << Answer{true,
                      {inkRecord("minute", 1, {2024, 1, 1, 0, 1, 0}), inkRecord("none", 2, {2024, 1, 1}),
                       inkRecord("year", 3, {2025, 1, 1}), inkRecord("day", 4, {2024, 1, 2}),
                       inkRecord("second", 5, {2024, 1, 1, 0, 0, 1}), inkRecord("month", 6, {2024, 2, 1}),
                       inkRecord("hour", 7, {2024, 1, 1, 1, 0, 0}), inkRecord(QByteArray(128, 'A'), 1e-5, {-1, 1, 1}),
                       inkRecord("B", 1234567, {999, 1, 2, 13, 14, 15}), inkRecord("C", 12, {2024, 13, 1, 0, 0, -5}),
                       inkRecord("D", 0.25, {2024, 12, 99})}}
            << Rows{{"2025/01/01 00:00:00", "year", "3ml"},
                    {"2024/13/01 00:00:-5", "C", "12ml"},
                    {"2024/12/99 00:00:00", "D", "0.25ml"},
                    {"2024/02/01 00:00:00", "month", "6ml"},
                    {"2024/01/02 00:00:00", "day", "4ml"},
                    {"2024/01/01 01:00:00", "hour", "7ml"},
                    {"2024/01/01 00:01:00", "minute", "1ml"},
                    {"2024/01/01 00:00:01", "second", "5ml"},
                    {"2024/01/01 00:00:00", "none", "2ml"},
                    {"999/01/02 13:14:15", "B", "1.23457e+06ml"},
                    {"-1/01/01 00:00:00", QString(128, 'A'), "1e-05ml"}}
            << 11 << QStringList();
        QTest::newRow("ink, negative count")
            << "InkManagement" << Answer{true, {inkRecord("A", 1), inkRecord("B", 1)}, -4} << Rows() << 13
            << QStringList();
        QTest::newRow("ink, count without an array")
            << "InkManagement" << Answer{true, {}, 3} << Rows() << 13 << QStringList{ListFailed};
        QTest::newRow("refills, empty") << "InkRefillLog" << Answer{} << Rows() << 10 << QStringList{LogEmpty};
        QTest::newRow("refills, refused") << "InkRefillLog" << Answer{false, {inkRecord("A", 1, {2025, 1, 1})}}
                                          << Rows() << 10 << QStringList{LogFailed};
    }

    void tables()
    {
        QFETCH(QString, dialog);
        QFETCH(Answer, answer);
        QFETCH(Rows, shown);
        QFETCH(int, rowCount);
        QFETCH(QStringList, lines);
        const bool refills = dialog == "InkRefillLog";
        // A host with a large font of its own: the rows keep their height.
        QApplication::setFont(QFont(m_font.family(), 40));
        RecordingHost host;
        g_host = &host;
        (refills ? host.refillLog : host.inkList) = answer;
        const std::unique_ptr<QDialog> window = makeDialog(dialog);
        window->show();
        QCOMPARE(shownRows(*window), shown);
        QCOMPARE(tableOf(*window)->rowCount(), rowCount);
        QCOMPARE(tableOf(*window)->verticalScrollBar()->isVisible(), rowCount > (refills ? 10 : 13));
        QCOMPARE(host.logLines, lines);
        QCOMPARE(host.fillCalls, 1);
        // The host's own array comes back in the order shown, or as it was
        // when nothing is shown.
        QStringList order;
        for (const QStringList& row : shown)
            order << row[refills ? 1 : 0];
        QCOMPARE(namesOf(host.lastReturned), shown.isEmpty() ? namesOf(answer.records) : order);
        QVERIFY(host.keptContract());
    }

    // Tool windows on top of the host's, on a see-through background, with
    // the keyboard focus where an operator looks to leave them. Return, Enter
    // and Escape leave them open. The title bar, also its text, drags them
    // with the left button, keeping the grabbed point under the mouse until
    // released; the content and other buttons don't.
    void keysAndDragging()
    {
        InkManagement ink(0);
        InkRefillLog refills;
        // How far the window went with a press on 'target', two moves, and
        // then with its release and a move.
        const auto drag = [](QDialog& window, const char* target, Qt::MouseButton button) {
            window.move(300, 200);
            QWidget* widget = window.findChild<QWidget*>(target);
            const QPoint start = window.frameGeometry().topLeft(), grab = widget->mapToGlobal(QPoint(5, 5));
            sendMouse(widget, QEvent::MouseButtonPress, grab, button);
            sendMouse(widget, QEvent::MouseMove, grab + QPoint(30, 5), button);
            sendMouse(widget, QEvent::MouseMove, grab + QPoint(57, -41), button);
            const QPoint moved = window.frameGeometry().topLeft() - start;
            sendMouse(widget, QEvent::MouseButtonRelease, grab + QPoint(57, -41), button);
            sendMouse(widget, QEvent::MouseMove, grab + QPoint(100, 100), button);
            return QList<QPoint>{moved, window.frameGeometry().topLeft() - start};
        };
        for (QDialog* window : {static_cast<QDialog*>(&ink), static_cast<QDialog*>(&refills)}) {
            QCOMPARE(window->windowFlags(), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
            QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QCOMPARE(QApplication::focusWidget()->objectName(), "pushButton_close");
            // The style sheet's font, which this machine may lack and draw as another.
            QCOMPARE(window->findChild<QWidget*>("label_title")->font().family(), "微软雅黑");
            QTest::keyClick(window, Qt::Key_Escape);
            QTest::keyClick(window, Qt::Key_Return);
            QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY(window->isVisible());
            QCOMPARE(drag(*window, "widget_title", Qt::RightButton), (QList<QPoint>{QPoint(), QPoint()}));
            QCOMPARE(drag(*window, "widget_content", Qt::LeftButton), (QList<QPoint>{QPoint(), QPoint()}));
            QCOMPARE(drag(*window, "label_title", Qt::LeftButton), (QList<QPoint>{QPoint(57, -41), QPoint(57, -41)}));
        }
    }

    // Each window as it opens, with the focus on its Close or OK button but
    // no mark; rows that use the keyboard first click and double-click a
    // row, which must neither select nor edit it and gives the focus to the
    // window, then press Tab: the mark follows the buttons in reading order,
    // and a button pressed with the mouse afterwards loses it again.
    void look_data()
    {
        QTest::addColumn<Look>("look");
        QTest::newRow("ink-ml-zh") << Look{"InkManagement", "chs", true, 3, 1, {}, {}};
        QTest::newRow("ink-unlimited-en") << Look{"InkManagement", "en", false, 3, 3, {}, "pushButton_close"};
        QTest::newRow("ink-empty-zh") << Look{"InkManagement", "chs", true, -1, 2, "pushButton_close_2", {}};
        QTest::newRow("refill-en") << Look{"InkRefillLog", "en", true, 12, 0, "pushButton_close", {}};
        QTest::newRow("refill-empty-en") << Look{"InkRefillLog", "en", true, 0, 0, {}, "pushButton_close_2"};
        QTest::newRow("refill-keys-en") << Look{"InkRefillLog", "en", true, 3, 2, {}, {}};
    }

    void look()
    {
        QFETCH(Look, look);
        QVERIFY(CTranslatorMgr::instance()->translator()->load(QCoreApplication::applicationDirPath() + "/Lang/"
                                                               + look.language + "/VqTintwell.qm"));
        RecordingHost host;
        g_host = &host;
        host.limited = look.limited;
        host.inkList.result = host.refillLog.result = look.records >= 0;
        const QByteArray names[] = {"Cyan", "Magenta", "Light Black"};
        const double amounts[] = {250, 12.5, 0.25};
        for (int i = 0; i < look.records; ++i) {
            host.inkList.records.push_back(inkRecord(names[i % 3], amounts[i % 3]));
            host.refillLog.records.push_back(inkRecord(names[i % 3], 100 + i, {2025, 3, 7 + i, 9, 5, 2}));
        }
        const std::unique_ptr<QDialog> window = makeDialog(look.dialog);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        if (look.tabs > 0) {
            QWidget* cells = window->findChild<QTableWidget*>()->viewport();
            QTest::mouseClick(cells, Qt::LeftButton, {}, QPoint(60, 40));
            QTest::mouseDClick(cells, Qt::LeftButton, {}, QPoint(60, 40));
            // QTest leaves the button down after a double click; hover needs it up.
            QTest::mouseRelease(cells, Qt::LeftButton, {}, QPoint(60, 40));
        }
        for (int i = 0; i < look.tabs; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (!look.hovered.isEmpty())
            QTest::mouseMove(window->findChild<QWidget*>(look.hovered), QPoint(5, 5));
        QWidget* const down = look.pressed.isEmpty() ? nullptr : window->findChild<QWidget*>(look.pressed);
        if (down)
            QTest::mousePress(down, Qt::LeftButton);
        // Scaled screens have references of their own: "ink-ml-zh@1.5x".
        QString name = QString::fromLatin1(QTest::currentDataTag());
        if (window->devicePixelRatioF() != 1)
            name += QString("@%1x").arg(window->devicePixelRatioF());
        const QString problem =
            compareWithReference(window->grab().toImage().convertToFormat(QImage::Format_ARGB32), name);
        if (down)
            QTest::mouseRelease(down, Qt::LeftButton);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Openings leave nothing behind in the host: over a hundred openings of
    // both windows, each painted, the heap in use grows by less than a small
    // pixmap an opening (some 2 KiB) more than over a bare dialog's. The first
    // hundred fill what stays: fonts, glyphs, the style sheet, Qt's caches.
    void memory()
    {
#ifdef __GLIBC__
        const auto growth = [](const std::function<void()>& open) {
            size_t before = 0;
            for (int i = 0; i < 200; ++i) {
                before = i == 100 ? mallinfo2().uordblks : before;
                open();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            return qint64(mallinfo2().uordblks) - qint64(before);
        };
        const qint64 bare = growth([] {
            QDialog dialog;
            dialog.resize(875, 563);
            dialog.grab();
        });
        const qint64 both = growth([] {
            InkManagement ink(0);
            InkRefillLog refills;
            ink.grab();
            refills.grab();
        });
        QVERIFY2(both - bare < 128 * 1024, qPrintable(QString("%1 bytes more than a bare dialog").arg(both - bare)));
#else
        QSKIP("reads glibc's heap statistics");
#endif
    }

private:
    RecordingHost m_host;
    const QFont m_font = QApplication::font();
};

// Wine hands no QT_ variable on to Windows programs; the scale comes as
// VQ_SCALE_FACTOR there, and is set before the application object reads it.
static const bool g_scaled =
    qEnvironmentVariableIsSet("VQ_SCALE_FACTOR") && qputenv("QT_SCALE_FACTOR", qgetenv("VQ_SCALE_FACTOR"));

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
