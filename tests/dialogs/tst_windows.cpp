// SPDX-License-Identifier: MIT
// Both windows as an operator handles them: their kind of window, keys and
// dragging, where the refill log opens, and the column lines' pen. How they
// look is tst_look's.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "dialogs/linedelegate.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "testsupport/dialogdriver.h"
#include "testsupport/recordinghost.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<QDialog> makeDialog(const QString& name)
{
    if (name == QLatin1String("InkManagement"))
        return std::make_unique<InkManagement>(0);
    return std::make_unique<InkRefillLog>();
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

constexpr QRgb Dark = 0xFF6D6D6D, White = 0xFFFFFFFF;

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CTranslatorMgr::instance()->loadTranslator();
        g_host = &m_host;
        m_host.limited = false;
        m_host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        m_host.refillLog.records = {RecordingHost::refill({2025, 1, 1})};
    }

    // Tool windows that stay on top of the host's, drawing their own frame
    // on a see-through background, named for hosts and tests to find them.
    void kindOfWindow_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("ink management") << QStringLiteral("InkManagement");
        QTest::newRow("refill log") << QStringLiteral("InkRefillLog");
    }

    void kindOfWindow()
    {
        QFETCH(QString, dialog);
        const auto window = makeDialog(dialog);
        QCOMPARE(window->windowFlags(), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(window->objectName(), dialog);
        const auto* close = window->findChild<QPushButton*>(QStringLiteral("pushButton_close_2"));
        QVERIFY(close && !close->icon().isNull());
        QCOMPARE(close->icon().pixmap(20).toImage(),
                 QImage(QStringLiteral(":/Tintwell/res/icon/close.png"))
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    // Return, Enter and Escape leave a window open; its title bar, also the
    // title text, drags it with the left button, keeping the grabbed point
    // under the mouse until released; its content and other buttons don't.
    void keysAndDragging_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("moves");
        for (const char* dialog : {"InkManagement", "InkRefillLog"}) {
            const QString name = QString::fromLatin1(dialog);
            QTest::addRow("%s title", dialog) << name << QStringLiteral("widget_title") << int(Qt::LeftButton) << true;
            QTest::addRow("%s title text", dialog)
                << name << QStringLiteral("label_title") << int(Qt::LeftButton) << true;
            QTest::addRow("%s right button", dialog)
                << name << QStringLiteral("widget_title") << int(Qt::RightButton) << false;
            QTest::addRow("%s content", dialog)
                << name << QStringLiteral("widget_content") << int(Qt::LeftButton) << false;
        }
    }

    void keysAndDragging()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(bool, moves);
        const auto window = makeDialog(dialog);
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
        const auto mouse = Qt::MouseButton(button);
        sendMouse(widget, QEvent::MouseButtonPress, grab, mouse, mouse);
        sendMouse(widget, QEvent::MouseMove, grab + QPoint(30, 5), Qt::NoButton, mouse);
        sendMouse(widget, QEvent::MouseMove, grab + QPoint(57, -41), Qt::NoButton, mouse);
        const QPoint afterMoves = window->frameGeometry().topLeft();
        sendMouse(widget, QEvent::MouseButtonRelease, grab + QPoint(57, -41), mouse, Qt::NoButton);
        sendMouse(widget, QEvent::MouseMove, grab + QPoint(100, 100), Qt::NoButton, mouse);
        QCOMPARE(afterMoves, moves ? start + QPoint(57, -41) : start);
        QCOMPARE(window->frameGeometry().topLeft(), afterMoves);
    }

    // The refill log opens centred over the ink management window and leaves
    // it open; both close buttons close it.
    void refillLogOverInkManagement_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << QStringLiteral("pushButton_close");
        QTest::newRow("title-bar close") << QStringLiteral("pushButton_close_2");
    }

    void refillLogOverInkManagement()
    {
        QFETCH(QString, button);
        InkManagement ink(0);
        ink.show();
        ink.move(100, 50);
        QPoint at;
        int result = -1;
        DialogDriver::whenShown(QStringLiteral("InkRefillLog"), [&](QWidget* refills) {
            at = refills->pos();
            DialogDriver::click(refills, button.toLatin1().constData());
            result = static_cast<QDialog*>(refills)->result();
        });
        DialogDriver::click(&ink, "pushButton_inkRefillLog");
        QCOMPARE(at, QPoint(187, 112));
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(ink.isVisible());
    }

    // Each line on its cell's last pixel column, over the whole height, and
    // nowhere else; the painter's pen as it was.
    void lineDelegate()
    {
        QTableWidget view(1, 1);
        view.setGridStyle(Qt::DotLine);
        const LineDelegate delegate(&view, 1, QColor(0x6D, 0x6D, 0x6D));
        view.setGridStyle(Qt::SolidLine);
        QImage image(20, 30, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        const QPen pen(Qt::green, 3);
        painter.setPen(pen);
        QStyleOptionViewItem option;
        option.rect = QRect(2, 4, 10, 20);
        delegate.paint(&painter, option, view.model()->index(0, 0));
        QCOMPARE(painter.pen(), pen);
        painter.end();
        QString column;
        for (int y = 0; y < 30; ++y)
            column += image.pixelColor(11, y) == Dark ? QLatin1Char('*')
                : image.pixelColor(11, y) == White    ? QLatin1Char(' ')
                                                      : QLatin1Char('?');
        // Dotted, as the view's grid style was when the delegate was made.
        QCOMPARE(column, QStringLiteral("    *  *  *  *  *  *  *       "));
        QCOMPARE(image.pixelColor(10, 5), White);
        QCOMPARE(image.pixelColor(5, 4), White);
    }

private:
    RecordingHost m_host;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
