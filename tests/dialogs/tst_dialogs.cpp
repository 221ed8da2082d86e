// SPDX-License-Identifier: MIT
// Both windows as windows: how their forms are built, their flags, keys and
// dragging, where the refill log opens, and how the style sheet, the shadow
// and the column lines make them look.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "dialogs/linedelegate.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "testsupport/dialogdriver.h"
#include "testsupport/recordinghost.h"

#include <QGraphicsDropShadowEffect>
#include <QHeaderView>
#include <QLayout>
#include <QMetaProperty>
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

// A value of 'object' as the form table below writes it. Besides the
// properties: a layout's margins, a table's two headers, a window's flags and
// background, a frame's shadow.
QString valueText(QObject* object, const QString& key)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (auto* layout = qobject_cast<QLayout*>(object); layout && key == QLatin1String("margins")) {
        const QMargins m = layout->contentsMargins();
        return QString::asprintf("%d,%d,%d,%d", m.left(), m.top(), m.right(), m.bottom());
    }
    if (auto* table = qobject_cast<QTableView*>(object); table && key == QLatin1String("headers")) {
        const QHeaderView* h = table->horizontalHeader();
        const QHeaderView* v = table->verticalHeader();
        return QString::asprintf("%d %d %d|%d %d", h->isHidden(), h->defaultSectionSize(), h->stretchLastSection(),
                                 v->isHidden(), v->defaultSectionSize());
    }
    if (auto* grid = qobject_cast<QGridLayout*>(object); grid && key.endsWith(QLatin1String("Spacing")))
        return QString::number(key.startsWith(QLatin1Char('h')) ? grid->horizontalSpacing() : grid->verticalSpacing());
    if (key == QLatin1String("windowFlags"))
        return QString::number(int(widget->windowFlags()));
    if (key == QLatin1String("translucent"))
        return QString::number(widget->testAttribute(Qt::WA_TranslucentBackground));
    if (key == QLatin1String("shadow")) {
        const auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(widget->graphicsEffect());
        if (!shadow)
            return QString();
        return QString::asprintf("%s %g,%g %g", qPrintable(shadow->color().name(QColor::HexArgb)), shadow->xOffset(),
                                 shadow->yOffset(), shadow->blurRadius());
    }
    const QMetaObject* meta = object->metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty(key.toLatin1().constData()));
    const QVariant value = property.read(object);
    if (property.isEnumType())
        return QString::fromLatin1(property.enumerator().valueToKeys(value.toInt()));
    if (value.canConvert<QSize>() && value.toSize().isValid())
        return QString::asprintf("%dx%d", value.toSize().width(), value.toSize().height());
    return value.toString();
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A tolerance keeps the pixel checks independent of rounding in the style.
bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2
        && qAbs(a.alpha() - b.alpha()) <= 2;
}

// Empty when the image of 'dialog' has 'colour' at 'point' of its child
// 'widget', else what it has there.
QString pixelProblem(const QImage& image, const QWidget* dialog, const char* widget, const QPoint& point,
                     const QColor& colour)
{
    const auto* child = dialog->findChild<QWidget*>(QLatin1String(widget));
    const QPoint at = child ? child->mapTo(dialog, point) : QPoint(-1, -1);
    const QColor actual = image.pixelColor(at);
    if (child && near(actual, colour))
        return QString();
    return QString::asprintf("%s at (%d, %d) is %s, not %s", widget, at.x(), at.y(),
                             qPrintable(actual.name(QColor::HexArgb)), qPrintable(colour.name(QColor::HexArgb)));
}

#define COMPARE_PIXEL(image, dialog, widget, point, colour)                                                            \
  do {                                                                                                                 \
    const QString problem_ = pixelProblem((image), (dialog), (widget), (point), (colour));                             \
    QVERIFY2(problem_.isEmpty(), qPrintable(problem_));                                                                \
  } while (false)

// The colour most pixels of a label have that its background does not.
QColor textColour(QWidget* label)
{
    const QImage image = label->grab().toImage();
    const QRgb background = image.pixel(0, 0);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            counts[image.pixel(x, y)] += image.pixel(x, y) != background;
    counts.remove(background);
    return counts.isEmpty() ? QColor() : QColor(std::max_element(counts.begin(), counts.end()).key());
}

constexpr QRgb Dark = 0xFF6D6D6D, Light = 0xFFE8E8E8, White = 0xFFFFFFFF, Frame = 0xFF505050;

} // namespace

class TestDialogs : public QObject
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

    // "dialog object.key=value"; an empty object is the dialog itself.
    void form_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const int d = QApplication::style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
        const QString frame =
            QStringLiteral(".windowFlags=264203 .translucent=1 .focusPolicy=ClickFocus "
                           "verticalLayout_4.margins=9,9,9,9 verticalLayout_4.spacing=0 "
                           "horizontalLayout_6.margins=%1,0,0,0 pushButton_close_2.text= "
                           "pushButton_close_2.minimumSize=30x28 pushButton_close_2.maximumSize=30x28 "
                           "label_ink.minimumSize=0x25 label_ink.maximumSize=208x25 "
                           "label_ink.alignment=AlignCenter "
                           "label_remaining.maximumSize=16777215x25 "
                           "label_remaining.alignment=AlignCenter "
                           "pushButton_close.minimumSize=70x30 pushButton_close.maximumSize=16777215x30 "
                           "tableWidget_inkList.focusPolicy=NoFocus "
                           "tableWidget_inkList.verticalScrollBarPolicy=ScrollBarAsNeeded "
                           "tableWidget_inkList.horizontalScrollBarPolicy=ScrollBarAlwaysOff "
                           "tableWidget_inkList.editTriggers=NoEditTriggers "
                           "tableWidget_inkList.alternatingRowColors=true "
                           "tableWidget_inkList.selectionMode=NoSelection "
                           "tableWidget_inkList.selectionBehavior=SelectRows "
                           "tableWidget_inkList.showGrid=false tableWidget_inkList.headers=1_208_1|1_27 ")
                .arg(d);
        const QString ink = frame
            + QStringLiteral(
                  ".size=875x563 .minimumSize=875x563 .maximumSize=875x563 verticalLayout_5.margins=%1,0,%1,%1 "
                  "gridLayout.margins=20,20,20,15 gridLayout.horizontalSpacing=12 gridLayout.verticalSpacing=20 "
                  "verticalLayout_6.spacing=5 verticalLayout.spacing=0 horizontalLayout_7.spacing=0 "
                  "horizontalLayout_7.margins=0,0,0,0 label_inkInfo.minimumSize=0x30 "
                  "label_inkInfo.maximumSize=16777215x30 tableWidget_inkList.minimumSize=394x0 "
                  "tableWidget_inkList.maximumSize=394x16777215 tableWidget_inkList.columnCount=2 "
                  "pushButton_inkRefillLog.minimumSize=75x30 pushButton_inkRefillLog.maximumSize=16777215x30 "
                  "label_info3.minimumSize=320x40 label_info3.maximumSize=16777215x40 label_info3.wordWrap=true "
                  "widget_border.shadow=#46000000_0,5_15")
                  .arg(d);
        const QString refills = frame
            + QStringLiteral(
                  ".size=700x439 .minimumSize=700x439 .maximumSize=700x439 verticalLayout_3.margins=%1,0,%1,%1 "
                  "verticalLayout_2.margins=19,19,19,19 verticalLayout_2.spacing=19 verticalLayout.spacing=0 "
                  "horizontalLayout_7.spacing=0 horizontalLayout_7.margins=0,0,9,0 "
                  "label_added.minimumSize=0x25 label_added.maximumSize=16777215x25 "
                  "label_added.alignment=AlignCenter tableWidget_inkList.minimumSize=626x0 "
                  "tableWidget_inkList.maximumSize=626x16777215 tableWidget_inkList.columnCount=3 "
                  "widget_border.shadow=#46000000_0,5_9")
                  .arg(d);
        for (const auto& [dialog, entries] : {std::pair{"InkManagement", ink}, std::pair{"InkRefillLog", refills}}) {
            const QStringList split = entries.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString& entry : split) {
                const QString target = entry.section(QLatin1Char('='), 0, 0);
                QTest::addRow("%s %s", dialog, qPrintable(target))
                    << QString::fromLatin1(dialog) << target.section(QLatin1Char('.'), 0, 0)
                    << target.section(QLatin1Char('.'), 1)
                    << entry.section(QLatin1Char('='), 1).replace(QLatin1Char('_'), QLatin1Char(' '));
            }
        }
    }

    void form()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, object);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const auto window = makeDialog(dialog);
        QObject* target = object.isEmpty() ? window.get() : window->findChild<QObject*>(object);
        QVERIFY(target);
        QCOMPARE(valueText(target, key), value);
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

    // What the style sheet, the shadow and the delegates make of each window:
    // dark frame on a transparent window with the shadow below, white
    // title, white content, grey header, rows alternating #E8E8E8 and white
    // with a line in each column's colour on its right edge, buttons with a
    // dark border, light blue under the mouse and when pressed, the title-bar
    // button red instead, a red note, the sheet's font.
    void look_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QVector<int>>("widths"); // of all columns but the stretched last one
        QTest::addColumn<QVector<QColor>>("lines");
        QTest::addColumn<QString>("button");
        QTest::newRow("ink management") << QStringLiteral("InkManagement") << QVector<int>{196}
                                        << QVector<QColor>{Dark, Light} << QStringLiteral("pushButton_inkRefillLog");
        QTest::newRow("refill log") << QStringLiteral("InkRefillLog") << QVector<int>{205, 206}
                                    << QVector<QColor>{Dark, Dark, Light} << QStringLiteral("pushButton_close");
    }

    void look()
    {
        QFETCH(QString, dialog);
        QFETCH(QVector<int>, widths);
        QFETCH(QVector<QColor>, lines);
        QFETCH(QString, button);
        const auto window = makeDialog(dialog);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QWidget* viewport = window->findChild<QTableWidget*>()->viewport();
        QImage image = viewport->grab().toImage();
        QVector<int> edges;
        int x = 0;
        for (int width : widths)
            edges << (x += width) - 1;
        edges << viewport->width() - 1;
        for (int row = 0; row < 8; ++row) {
            const QColor background = row % 2 ? White : Light;
            for (int c = 0; c < edges.size(); ++c) {
                for (int y : {row * 27, row * 27 + 26})
                    QVERIFY(near(image.pixelColor(edges[c], y), lines[c]));
                QVERIFY(near(image.pixelColor(edges[c] - 1, row * 27 + 2), background));
            }
        }

        const QByteArray buttonBytes = button.toLatin1();
        const char* buttonName = buttonBytes.constData();
        QWidget* closeButton = window->findChild<QWidget*>(QStringLiteral("pushButton_close_2"));
        auto* push = window->findChild<QPushButton*>(button);
        image = window->grab().toImage();
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        COMPARE_PIXEL(image, window.get(), "widget_title", QPoint(5, 14), Frame);
        COMPARE_PIXEL(image, window.get(), "widget_border", QPoint(3, 100), Frame);
        COMPARE_PIXEL(image, window.get(), "widget_content", QPoint(3, 3), White);
        COMPARE_PIXEL(image, window.get(), "widget_header", QPoint(3, 12), QColor(0x99, 0x99, 0x99));
        COMPARE_PIXEL(image, window.get(), "widget_header", QPoint(0, 12), Dark);
        const int firstHeader = window->findChild<QWidget*>(QStringLiteral("label_ink"))->width();
        COMPARE_PIXEL(image, window.get(), "label_ink", QPoint(firstHeader - 1, 12), Dark);
        if (window->findChild<QWidget*>(QStringLiteral("label_added")))
            COMPARE_PIXEL(image, window.get(), "label_added", QPoint(0, 12), Dark);
        QVERIFY(
            qGray(image.pixel(
                window->findChild<QWidget*>(QStringLiteral("tableWidget_inkList"))->mapTo(window.get(), QPoint(0, 30))))
            < 0xC0);
        COMPARE_PIXEL(image, window.get(), buttonName, QPoint(0, 15), Dark);
        COMPARE_PIXEL(image, window.get(), buttonName, QPoint(push->width() / 2, 3), White);
        COMPARE_PIXEL(image, window.get(), "pushButton_close_2", QPoint(0, 14), Frame);
        const QWidget* border = window->findChild<QWidget*>(QStringLiteral("widget_border"));
        const QColor shadow = image.pixelColor(border->geometry().center().x(), border->geometry().bottom() + 4);
        QVERIFY2(shadow.alpha() > 10 && shadow.alpha() < 80 && shadow.red() < 0x20,
                 qPrintable(shadow.name(QColor::HexArgb)));
        QCOMPARE(window->findChild<QWidget*>(QStringLiteral("label_title"))->font().family(),
                 QStringLiteral("微软雅黑"));
        QCOMPARE(window->findChild<QWidget*>(QStringLiteral("label_title"))->font().pixelSize(), 15);

        // Under the mouse and pressed.
        QTest::mouseMove(closeButton, QPoint(5, 5));
        COMPARE_PIXEL(window->grab().toImage(), window.get(), "pushButton_close_2", QPoint(2, 14),
                      QColor(0xce, 0x0b, 0x0b));
        QTest::mouseMove(push, QPoint(5, 5));
        COMPARE_PIXEL(window->grab().toImage(), window.get(), buttonName, QPoint(push->width() / 2, 3),
                      QColor(0xE0, 0xEE, 0xF9));
        static_cast<QPushButton*>(closeButton)->setDown(true);
        push->setDown(true);
        image = window->grab().toImage();
        COMPARE_PIXEL(image, window.get(), "pushButton_close_2", QPoint(2, 14), QColor(0xcd, 0x4f, 0x4f));
        COMPARE_PIXEL(image, window.get(), buttonName, QPoint(push->width() / 2, 3), QColor(0xCC, 0xE4, 0xF7));

        // White title text, and the unlimited note in red.
        QCOMPARE(textColour(window->findChild<QWidget*>(QStringLiteral("label_title"))), QColor(Qt::white));
        if (auto* note = window->findChild<QWidget*>(QStringLiteral("label_info3")))
            QCOMPARE(textColour(note), QColor(Qt::red));
    }

private:
    RecordingHost m_host;
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
