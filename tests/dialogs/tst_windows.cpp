// SPDX-License-Identifier: MIT
// Both windows as an operator meets them: how they look, compared with
// reference pictures of each window in its distinct states, rendered
// offscreen with fixed data in both shipped languages
// (VQ_UPDATE_REFERENCES=1 writes the references instead); their kind of
// window, keys and dragging, and where the refill log opens.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "testsupport/dialogdriver.h"
#include "testsupport/recordinghost.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// A pixel differs when a channel differs by more than this; a picture
// differs when more than this share of its pixels do (five of 875 x 563).
constexpr int ChannelTolerance = 2;
constexpr double DifferingShare = 0.00001;

bool differs(QRgb a, QRgb b)
{
    for (int shift : {0, 8, 16, 24})
        if (qAbs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > ChannelTolerance)
            return true;
    return false;
}

// Empty when 'actual' matches the reference 'name'; else what differs, with
// the actual picture and one of the differences (red) written beside the test.
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
    QImage difference(actual.size(), QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const bool bad = differs(actual.pixel(x, y), expected.pixel(x, y));
            differing += bad ? 1 : 0;
            difference.setPixel(
                x, y, bad ? qRgb(255, 0, 0) : qRgba(0, 0, 0, qGray(actual.pixel(x, y)) / 4));
        }
    }
    if (differing <= DifferingShare * actual.width() * actual.height())
        return QString();
    difference.save(out + "-difference.png");
    return QString("%1 pixels differ from %2: see %3-actual.png and %3-difference.png")
        .arg(differing)
        .arg(reference, out);
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& global, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, widget->mapFromGlobal(global), global,
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestWindows : public QObject
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
        m_host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        m_host.refillLog.records = {RecordingHost::refill({2025, 1, 1})};
    }

    // Tool windows on top of the host's, on a see-through background, with
    // the close icon of the library's own. Return, Enter and Escape leave
    // them open. The title bar, also its text, drags them with the left
    // button, keeping the grabbed point under the mouse until released; the
    // content and other buttons don't.
    void keysAndDragging_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("mouseButton");
        QTest::addColumn<bool>("moves");
        for (const char* dialog : {"InkManagement", "InkRefillLog"}) {
            const auto row = [&](const char* name, const char* target, int button, bool moves) {
                QTest::addRow("%s %s", dialog, name) << dialog << target << button << moves;
            };
            row("title", "widget_title", Qt::LeftButton, true);
            row("title text", "label_title", Qt::LeftButton, true);
            row("right button", "widget_title", Qt::RightButton, false);
            row("content", "widget_content", Qt::LeftButton, false);
        }
    }

    void keysAndDragging()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, target);
        QFETCH(int, mouseButton);
        const auto button = Qt::MouseButton(mouseButton);
        QFETCH(bool, moves);
        std::unique_ptr<QDialog> window;
        if (dialog == "InkManagement")
            window = std::make_unique<InkManagement>(0);
        else
            window = std::make_unique<InkRefillLog>();
        QCOMPARE(window->objectName(), dialog);
        QCOMPARE(window->windowFlags(),
                 Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
        const auto* close = window->findChild<QPushButton*>("pushButton_close_2");
        QCOMPARE(close->icon().pixmap(20).toImage(),
                 QImage(":/Tintwell/res/icon/close.png")
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied));

        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        // The keyboard focus where an operator looks to leave the window.
        QCOMPARE(QApplication::focusWidget()->objectName(), "pushButton_close");
        // The style sheet's font, which this machine may lack and draw as another.
        QCOMPARE(window->findChild<QWidget*>("label_title")->font().family(), "微软雅黑");
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QTest::keyClick(window.get(), Qt::Key_Return);
        QTest::keyClick(window.get(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(window->isVisible());

        window->move(300, 200);
        QWidget* widget = window->findChild<QWidget*>(target);
        const QPoint start = window->frameGeometry().topLeft();
        const QPoint grab = widget->mapToGlobal(QPoint(5, 5));
        sendMouse(widget, QEvent::MouseButtonPress, grab, button);
        sendMouse(widget, QEvent::MouseMove, grab + QPoint(30, 5), button);
        sendMouse(widget, QEvent::MouseMove, grab + QPoint(57, -41), button);
        const QPoint afterMoves = window->frameGeometry().topLeft();
        sendMouse(widget, QEvent::MouseButtonRelease, grab + QPoint(57, -41), button);
        sendMouse(widget, QEvent::MouseMove, grab + QPoint(100, 100), button);
        QCOMPARE(afterMoves, moves ? start + QPoint(57, -41) : start);
        QCOMPARE(window->frameGeometry().topLeft(), afterMoves);
    }

    // The refill log opens centred over the ink management window and leaves
    // it open; both its close buttons accept it.
    void refillLogOverInkManagement_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << "pushButton_close";
        QTest::newRow("title-bar close") << "pushButton_close_2";
    }

    void refillLogOverInkManagement()
    {
        QFETCH(QString, button);
        InkManagement ink(0);
        ink.show();
        ink.move(100, 50);
        QPoint at;
        int result = -1;
        DialogDriver::whenShown("InkRefillLog", [&](QWidget* refills) {
            at = refills->pos();
            DialogDriver::click(refills, button.toLatin1().constData());
            result = static_cast<QDialog*>(refills)->result();
        });
        DialogDriver::click(&ink, "pushButton_inkRefillLog");
        QCOMPARE(at, QPoint(187, 112));
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(ink.isVisible());
    }

    void look_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QByteArray>("language"); // the folder of the translation
        QTest::addColumn<bool>("limited");
        QTest::addColumn<int>("records");        // of the host's answer; -1: it refuses
        QTest::addColumn<QByteArray>("hovered"); // where the mouse is
        QTest::addColumn<QByteArrayList>("pressed");
        QTest::addColumn<QByteArray>("focused"); // with the keyboard focus in an active window
        const auto row = [](const char* tag, const char* dialog, const char* language, bool limited,
                            int records, const QByteArray& hovered = {},
                            const QByteArrayList& pressed = {}, const QByteArray& focused = {}) {
            QTest::newRow(tag) << QString::fromLatin1(dialog) << QByteArray(language) << limited
                               << records << hovered << pressed << focused;
        };
        row("ink-ml-en", "InkManagement", "en", true, 3, {}, {}, "pushButton_close");
        row("ink-ml-zh", "InkManagement", "chs", true, 3, {}, {}, "pushButton_close_2");
        row("ink-unlimited-en", "InkManagement", "en", false, 3, "pushButton_inkRefillLog",
            {"pushButton_close"});
        row("ink-empty-zh", "InkManagement", "chs", true, -1, "pushButton_close_2");
        row("refill-en", "InkRefillLog", "en", true, 12, "pushButton_close");
        row("refill-zh", "InkRefillLog", "chs", true, 3);
        row("refill-empty-en", "InkRefillLog", "en", true, 0, {}, {"pushButton_close_2"});
    }

    void look()
    {
        QFETCH(QString, dialog);
        QFETCH(QByteArray, language);
        QFETCH(bool, limited);
        QFETCH(int, records);
        QFETCH(QByteArray, hovered);
        QFETCH(QByteArrayList, pressed);
        QFETCH(QByteArray, focused);
        QVERIFY(CTranslatorMgr::instance()->translator()->load(
            QCoreApplication::applicationDirPath()
            + QStringLiteral("/Lang/%1/VqTintwell.qm").arg(QLatin1String(language))));
        RecordingHost host;
        g_host = &host;
        host.limited = limited;
        host.inkList.result = host.refillLog.result = records >= 0;
        const QByteArray names[] = {"Cyan", "Magenta", "Light Black"};
        const double amounts[] = {250, 12.5, 0.25};
        for (int i = 0; i < records; ++i) {
            host.inkList.records.push_back(RecordingHost::ink(names[i % 3], amounts[i % 3]));
            host.refillLog.records.push_back(
                RecordingHost::refill({2025, 3, 7 + i, 9, 5, 2}, names[i % 3], 100 + i));
        }
        std::unique_ptr<QDialog> window;
        if (dialog == "InkManagement")
            window = std::make_unique<InkManagement>(0);
        else
            window = std::make_unique<InkRefillLog>();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        // A click and a double click on a row neither select nor edit it;
        // the focus goes to the window itself.
        QWidget* cells = window->findChild<QTableWidget*>()->viewport();
        QTest::mouseClick(cells, Qt::LeftButton, {}, QPoint(60, 40));
        QTest::mouseDClick(cells, Qt::LeftButton, {}, QPoint(60, 40));
        // QTest leaves the button down after a double click; hover needs it up.
        QTest::mouseRelease(cells, Qt::LeftButton, {}, QPoint(60, 40));
        if (!hovered.isEmpty())
            QTest::mouseMove(window->findChild<QWidget*>(QLatin1String(hovered)), QPoint(5, 5));
        for (const QByteArray& name : pressed)
            window->findChild<QPushButton*>(QLatin1String(name))->setDown(true);
        if (!focused.isEmpty())
            window->findChild<QWidget*>(QLatin1String(focused))->setFocus();
        // Scaled screens have references of their own: "ink-ml-zh@1.5x".
        QString name = QString::fromLatin1(QTest::currentDataTag());
        if (window->devicePixelRatioF() != 1)
            name += QString("@%1x").arg(window->devicePixelRatioF());
        const QString problem = compareWithReference(
            window->grab().toImage().convertToFormat(QImage::Format_ARGB32), name);
        g_host = &m_host;
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(host.keptContract());
    }

private:
    RecordingHost m_host;
};

// Wine hands no QT_ variable on to Windows programs; the scale comes as
// VQ_SCALE_FACTOR there, and is set before the application object reads it.
static const bool g_scaled = qEnvironmentVariableIsSet("VQ_SCALE_FACTOR")
    && qputenv("QT_SCALE_FACTOR", qgetenv("VQ_SCALE_FACTOR"));

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
