// SPDX-License-Identifier: MIT
// Both windows as an operator handles them: their kind of window, keys and
// dragging, and where the refill log opens. How they look is tst_look's.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "testsupport/dialogdriver.h"
#include "testsupport/recordinghost.h"

#include <QMouseEvent>
#include <QtTest>

#include <memory>

namespace {

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
            QTest::addRow("%s title", dialog)
                << dialog << "widget_title" << int(Qt::LeftButton) << true;
            QTest::addRow("%s title text", dialog)
                << dialog << "label_title" << int(Qt::LeftButton) << true;
            QTest::addRow("%s right button", dialog)
                << dialog << "widget_title" << int(Qt::RightButton) << false;
            QTest::addRow("%s content", dialog)
                << dialog << "widget_content" << int(Qt::LeftButton) << false;
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
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
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

private:
    RecordingHost m_host;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
