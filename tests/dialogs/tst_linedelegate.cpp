// The column separator that LineDelegate draws on every cell.
#include "dialogs/linedelegate.h"

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

namespace {

const QColor Line(0x6D, 0x6D, 0x6D);

// Paints one empty cell of 'rect' on a white image with a delegate built on a
// view whose grid style is 'gridStyle' then, and 'laterStyle' after that; also
// tells whether the painter's pen was restored.
std::pair<QImage, bool> paintCell(const QRect& rect, Qt::PenStyle gridStyle, Qt::PenStyle laterStyle)
{
    QTableView view;
    view.setGridStyle(gridStyle);
    const LineDelegate delegate(&view, 1, Line);
    view.setGridStyle(laterStyle);
    QImage image(120, 80, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QPen before(QBrush(Qt::red), 3, Qt::DashDotLine, Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(before);
    QStandardItemModel model(1, 1);
    QStyleOptionViewItem option;
    option.rect = rect;
    delegate.paint(&painter, option, model.index(0, 0));
    return {image, painter.pen() == before};
}

} // namespace

class TestLineDelegate : public QObject
{
    Q_OBJECT

private slots:
    // Exactly the cell's last pixel column, top to bottom, and nothing else,
    // in the grid style the view had when the delegate was built; the
    // painter's pen is as it was before.
    void lineOnTheLastPixelColumn_data()
    {
        QTest::addColumn<QRect>("cell");
        QTest::addColumn<int>("styleAtConstruction");
        QTest::addColumn<int>("styleLater");
        QTest::newRow("first column") << QRect(0, 0, 50, 27) << int(Qt::SolidLine) << int(Qt::SolidLine);
        QTest::newRow("inner cell, dotted later") << QRect(50, 27, 41, 27) << int(Qt::SolidLine) << int(Qt::DotLine);
        QTest::newRow("one pixel wide") << QRect(30, 10, 1, 20) << int(Qt::SolidLine) << int(Qt::SolidLine);
        QTest::newRow("dotted, solid later") << QRect(0, 0, 40, 60) << int(Qt::DotLine) << int(Qt::SolidLine);
    }

    void lineOnTheLastPixelColumn()
    {
        QFETCH(QRect, cell);
        QFETCH(int, styleAtConstruction);
        QFETCH(int, styleLater);
        const auto [image, penRestored] = paintCell(cell, Qt::PenStyle(styleAtConstruction), Qt::PenStyle(styleLater));
        QVERIFY(penRestored);
        int gaps = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            gaps += image.pixelColor(cell.right(), y) != Line;
        QCOMPARE(gaps == 0, styleAtConstruction == Qt::SolidLine);
        if (gaps > 0)
            return;
        QImage expected(image.size(), image.format());
        expected.fill(Qt::white);
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            expected.setPixelColor(cell.right(), y, Line);
        QCOMPARE(image, expected);
    }
};

QTEST_MAIN(TestLineDelegate)
#include "tst_linedelegate.moc"
