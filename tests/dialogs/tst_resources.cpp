// The style sheet and the close icon that the library carries: there as soon
// as the library is loaded, gone when it is unloaded, and as the dialogs
// expect them.
#include <QFile>
#include <QImage>
#include <QLibrary>
#include <QResource>
#include <QtTest>

namespace {

const QString StyleSheet = QStringLiteral(":/Tintwell/res/qss/style.qss");
const QString CloseIcon = QStringLiteral(":/Tintwell/res/icon/close.png");

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Not yet loaded: nothing of the plug-in exists in the process.
        QVERIFY(!QFile::exists(StyleSheet));
        QVERIFY(!QFile::exists(CloseIcon));
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
    }

    void presentRightAfterLoading_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("style sheet") << StyleSheet;
        QTest::newRow("close icon") << CloseIcon;
    }

    void presentRightAfterLoading()
    {
        QFETCH(QString, path);
        QVERIFY(QFile::exists(path));
        const QResource resource(path);
        QVERIFY(resource.isValid());
        QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
    }

    void onlyTheTwoFiles()
    {
        QCOMPARE(QDir(QStringLiteral(":/Tintwell")).entryList(), QStringList{"res"});
        QCOMPARE(QDir(QStringLiteral(":/Tintwell/res")).entryList(), (QStringList{"icon", "qss"}));
        QCOMPARE(QDir(QStringLiteral(":/Tintwell/res/qss")).entryList(), QStringList{"style.qss"});
        QCOMPARE(QDir(QStringLiteral(":/Tintwell/res/icon")).entryList(), QStringList{"close.png"});
    }

    void styleSheetText()
    {
        const QByteArray bytes = contents(StyleSheet);
        const QString text = QString::fromUtf8(bytes);
        QVERIFY(text.startsWith(QLatin1String("QWidget {")));
        QVERIFY(text.contains(QStringLiteral("font-family: \"微软雅黑\";")));
        QCOMPARE(text.toUtf8(), bytes); // valid UTF-8 throughout
        QCOMPARE(text.count(QLatin1Char('{')), 24);
        QCOMPARE(text.count(QLatin1Char('}')), 24);
        // The close button's image rule names the icon that is there.
        QVERIFY(text.contains(QStringLiteral("image: url(") + CloseIcon + QLatin1Char(')')));
    }

    void closeIcon()
    {
        const QByteArray png = contents(CloseIcon);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
        QCOMPARE(int(png.at(24)), 8); // bits per channel
        QCOMPARE(int(png.at(25)), 6); // RGBA
        QVERIFY(png.contains("sRGB"));

        const QImage icon(CloseIcon);
        QCOMPARE(icon.size(), QSize(20, 20));
        QVERIFY(icon.hasAlphaChannel());
        const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
        // Transparent corners and edge middles, an opaque white cross.
        for (const QPoint& p : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 19), QPoint(19, 19),
                                QPoint(9, 1), QPoint(1, 9), QPoint(18, 9), QPoint(9, 18)})
            QCOMPARE(qAlpha(argb.pixel(p)), 0);
        for (const QPoint& p : {QPoint(4, 4), QPoint(15, 15), QPoint(15, 4), QPoint(4, 15), QPoint(9, 9)}) {
            QCOMPARE(qAlpha(argb.pixel(p)), 255);
            QCOMPARE(QColor(argb.pixel(p)).rgb(), QColor(Qt::white).rgb());
        }
        // Anti-aliased: partly covered pixels along the strokes' edges.
        int partial = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                partial += qAlpha(argb.pixel(x, y)) > 0 && qAlpha(argb.pixel(x, y)) < 255;
        QVERIFY(partial > 10);
    }

    void goneAfterUnloading()
    {
        QVERIFY(m_library.unload());
        QVERIFY(!QFile::exists(StyleSheet));
        QVERIFY(!QFile::exists(CloseIcon));
    }

private:
    QLibrary m_library{QStringLiteral(VQ_PLUGIN_PATH)};
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
