// The column separator that LineDelegate draws on every cell.
#include "dialogs/linedelegate.h"

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

namespace {

const QColor Background(Qt::white);
const QColor Line(0x6D, 0x6D, 0x6D);

// Paints one empty cell of 'rect' on a white image with 'delegate'.
void paintCell(const LineDelegate& delegate, const QRect& rect, QPainter* painter)
{
    QStandardItemModel model(1, 1);
    QStyleOptionViewItem option;
    option.rect = rect;
    delegate.paint(painter, option, model.index(0, 0));
}

QImage paintCell(const LineDelegate& delegate, const QRect& rect)
{
    QImage image(120, 80, QImage::Format_ARGB32);
    image.fill(Background);
    QPainter painter(&image);
    paintCell(delegate, rect, &painter);
    return image;
}

} // namespace

class TestLineDelegate : public QObject
{
    Q_OBJECT

private slots:
    void lineOnTheLastPixelColumn_data()
    {
        QTest::addColumn<QRect>("cell");
        QTest::newRow("first column") << QRect(0, 0, 50, 27);
        QTest::newRow("inner cell") << QRect(50, 27, 41, 27);
        QTest::newRow("one pixel wide") << QRect(30, 10, 1, 20);
        QTest::newRow("one pixel high") << QRect(5, 70, 60, 1);
    }

    void lineOnTheLastPixelColumn()
    {
        QFETCH(QRect, cell);
        QTableView view;
        const LineDelegate delegate(&view, 1, Line);
        const QImage image = paintCell(delegate, cell);

        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool onLine = x == cell.x() + cell.width() - 1 && y >= cell.top()
                    && y <= cell.top() + cell.height() - 1;
                const QColor expected = onLine ? Line : Background;
                if (image.pixelColor(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")
                                         .arg(x).arg(y)
                                         .arg(image.pixelColor(x, y).name(), expected.name())));
            }
        }
    }

    void painterPenRestored()
    {
        QTableView view;
        const LineDelegate delegate(&view, 1, Line);
        QImage image(60, 40, QImage::Format_ARGB32);
        image.fill(Background);
        QPainter painter(&image);
        const QPen before(QBrush(Qt::red), 3, Qt::DashDotLine, Qt::FlatCap, Qt::MiterJoin);
        painter.setPen(before);
        paintCell(delegate, QRect(0, 0, 30, 20), &painter);
        QCOMPARE(painter.pen(), before);
    }

    // The view's grid style is read once; both dialogs keep the default, so
    // their separators are solid.
    void gridStyleTakenAtConstruction_data()
    {
        QTest::addColumn<int>("styleAtConstruction");
        QTest::addColumn<int>("styleLater");
        QTest::addColumn<bool>("solid");
        QTest::newRow("default") << int(Qt::SolidLine) << int(Qt::SolidLine) << true;
        QTest::newRow("solid, dotted later") << int(Qt::SolidLine) << int(Qt::DotLine) << true;
        QTest::newRow("dashed") << int(Qt::DashLine) << int(Qt::DashLine) << false;
        QTest::newRow("dotted, solid later") << int(Qt::DotLine) << int(Qt::SolidLine) << false;
    }

    void gridStyleTakenAtConstruction()
    {
        QFETCH(int, styleAtConstruction);
        QFETCH(int, styleLater);
        QFETCH(bool, solid);
        QTableView view;
        view.setGridStyle(Qt::PenStyle(styleAtConstruction));
        const LineDelegate delegate(&view, 1, Line);
        view.setGridStyle(Qt::PenStyle(styleLater));

        const QRect cell(0, 0, 40, 60);
        const QImage image = paintCell(delegate, cell);
        int gaps = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            gaps += image.pixelColor(cell.right(), y) != Line;
        QCOMPARE(gaps == 0, solid);
    }
};

QTEST_MAIN(TestLineDelegate)
#include "tst_linedelegate.moc"
