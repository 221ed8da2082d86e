// SPDX-License-Identifier: MIT
// How both windows look, compared with reference pictures: each window in
// its distinct states, rendered offscreen with fixed data, in both shipped
// languages. VQ_UPDATE_REFERENCES=1 writes the references instead.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "testsupport/recordinghost.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

namespace {

// A pixel differs when a channel differs by more than this; a picture
// differs when more than this share of its pixels do (five of 875 x 563).
constexpr int ChannelTolerance = 2;
constexpr double DifferingShare = 0.00001;

bool differs(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) > ChannelTolerance
        || qAbs(qGreen(a) - qGreen(b)) > ChannelTolerance
        || qAbs(qBlue(a) - qBlue(b)) > ChannelTolerance
        || qAbs(qAlpha(a) - qAlpha(b)) > ChannelTolerance;
}

// Empty when 'actual' matches the reference 'name'; else what differs, with
// the actual picture and one of the differences (red) written beside the test.
QString compareWithReference(const QImage& actual, const QString& name)
{
    const QString reference = QStringLiteral(VQ_REFERENCE_DIR "/") + name + QStringLiteral(".png");
    if (qEnvironmentVariableIsSet("VQ_UPDATE_REFERENCES"))
        return actual.save(reference) ? QString() : QStringLiteral("cannot write ") + reference;
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    const QString out = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    actual.save(out + QStringLiteral("-actual.png"));
    if (expected.size() != actual.size())
        return QStringLiteral("%1-actual.png is not of the size of %2").arg(out, reference);
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
    difference.save(out + QStringLiteral("-difference.png"));
    return QStringLiteral("%1 pixels differ from %2: see %3-actual.png and %3-difference.png")
        .arg(differing)
        .arg(reference, out);
}

QVector<InkRecord> inks()
{
    return {RecordingHost::ink("Cyan", 250), RecordingHost::ink("Magenta", 12.5),
            RecordingHost::ink("Light Black", 0.25)};
}

} // namespace

class TestLook : public QObject
{
    Q_OBJECT

private slots:
    void windows_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QByteArray>("language"); // the folder of the translation
        QTest::addColumn<bool>("limited");
        QTest::addColumn<int>("records");        // of the host's answer; -1: it refuses
        QTest::addColumn<QByteArray>("hovered"); // where the mouse is
        QTest::addColumn<QByteArrayList>("pressed");
        const auto row = [](const char* tag, const char* dialog, const char* language, bool limited,
                            int records, const QByteArray& hovered = {},
                            const QByteArrayList& pressed = {}) {
            QTest::newRow(tag) << QString::fromLatin1(dialog) << QByteArray(language) << limited
                               << records << hovered << pressed;
        };
        row("ink-ml-en", "InkManagement", "en", true, 3);
        row("ink-ml-zh", "InkManagement", "chs", true, 3);
        row("ink-unlimited-en", "InkManagement", "en", false, 3, "pushButton_inkRefillLog",
            {"pushButton_close"});
        row("ink-empty-zh", "InkManagement", "chs", true, -1, "pushButton_close_2");
        row("refill-en", "InkRefillLog", "en", true, 12, "pushButton_close");
        row("refill-zh", "InkRefillLog", "chs", true, 3);
        row("refill-empty-en", "InkRefillLog", "en", true, 0, {}, {"pushButton_close_2"});
    }

    void windows()
    {
        QFETCH(QString, dialog);
        QFETCH(QByteArray, language);
        QFETCH(bool, limited);
        QFETCH(int, records);
        QFETCH(QByteArray, hovered);
        QFETCH(QByteArrayList, pressed);
        QVERIFY(CTranslatorMgr::instance()->translator()->load(
            QCoreApplication::applicationDirPath()
            + QStringLiteral("/Lang/%1/VqTintwell.qm").arg(QLatin1String(language))));
        RecordingHost host;
        g_host = &host;
        host.limited = limited;
        host.inkList.result = host.refillLog.result = records >= 0;
        for (int i = 0; i < records; ++i) {
            host.inkList.records.push_back(inks()[i % 3]);
            host.refillLog.records.push_back(
                RecordingHost::refill({2025, 3, 7 + i, 9, 5, 2}, inks()[i % 3].name, 100 + i));
        }
        std::unique_ptr<QDialog> window;
        if (dialog == QLatin1String("InkManagement"))
            window = std::make_unique<InkManagement>(0);
        else
            window = std::make_unique<InkRefillLog>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        // A click and a double click on a row neither select nor edit it.
        QWidget* cells = window->findChild<QTableWidget*>()->viewport();
        QTest::mouseClick(cells, Qt::LeftButton, {}, QPoint(60, 40));
        QTest::mouseDClick(cells, Qt::LeftButton, {}, QPoint(60, 40));
        // QTest leaves the button down after a double click; hover needs it up.
        QTest::mouseRelease(cells, Qt::LeftButton, {}, QPoint(60, 40));
        if (!hovered.isEmpty())
            QTest::mouseMove(window->findChild<QWidget*>(QLatin1String(hovered)), QPoint(5, 5));
        for (const QByteArray& name : pressed)
            window->findChild<QPushButton*>(QLatin1String(name))->setDown(true);
        const QString problem =
            compareWithReference(window->grab().toImage().convertToFormat(QImage::Format_ARGB32),
                                 QString::fromLatin1(QTest::currentDataTag()));
        g_host = nullptr;
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(host.keptContract());
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
