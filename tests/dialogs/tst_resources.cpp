// The style sheet and the close icon that the library carries: there as soon
// as the library is loaded, gone when it is unloaded, and as the dialogs
// expect them.
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLibrary>
#include <QResource>
#include <QtTest>

namespace {

const QString StyleSheet = QStringLiteral(":/Tintwell/res/qss/style.qss");
const QString CloseIcon = QStringLiteral(":/Tintwell/res/icon/close.png");

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!QFile::exists(StyleSheet));
        QVERIFY(!QFile::exists(CloseIcon));
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
    }

    // Exactly the two files, stored uncompressed.
    void presentRightAfterLoading()
    {
        QStringList files;
        for (QDirIterator it(QStringLiteral(":/Tintwell"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << it.next();
        files.sort();
        QCOMPARE(files, (QStringList{CloseIcon, StyleSheet}));
        for (const QString& path : files)
            QCOMPARE(QResource(path).compressionAlgorithm(), QResource::NoCompression);
    }

    void styleSheetText()
    {
        QFile file(StyleSheet);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QString text = QString::fromUtf8(bytes);
        QVERIFY(text.startsWith(QLatin1String("QWidget {")));
        QCOMPARE(text.toUtf8(), bytes); // valid UTF-8 throughout
        // The close button's image rule names the icon that is there.
        QVERIFY(text.contains(QStringLiteral("image: url(") + CloseIcon + QLatin1Char(')')));
    }

    // A white, anti-aliased cross on a transparent 20 x 20 square.
    void closeIcon()
    {
        const QImage icon = QImage(CloseIcon).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(20, 20));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(9, 1)), 0);
        QCOMPARE(icon.pixel(4, 4), qRgba(255, 255, 255, 255));
        QCOMPARE(icon.pixel(15, 4), qRgba(255, 255, 255, 255));
        int partial = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x)
                partial += qAlpha(icon.pixel(x, y)) > 0 && qAlpha(icon.pixel(x, y)) < 255;
        }
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
