// Every opening of the ink management window leaves its two lines in the one
// activity log of the process, under the application directory.
#include "dialogs/inkmanagement.h"
#include "log/dynamicliblogger.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString Time = QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}");

QString logDir()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Log/Activity");
}

QString header()
{
    return QStringLiteral("========== Log Session Started at %1 ==========\n").arg(Time);
}

QString openingLines()
{
    const QString tag = QStringLiteral("\\[%1\\] \\[INFO\\] ").arg(Time);
    return tag + QStringLiteral("\n") + tag + QStringLiteral("\t——————————进入墨水加密界面——————————\n");
}

// The file with the highest number, as the next run would continue it.
QString newestFile()
{
    const QRegularExpression own(QStringLiteral("^\\.?Activity(\\d+)\\.log$"));
    QString newest;
    int best = 0;
    const QStringList names = QDir(logDir()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = own.match(name);
        if (match.hasMatch() && match.capturedRef(1).toInt() > best) {
            best = match.capturedRef(1).toInt();
            newest = name;
        }
    }
    return newest;
}

QString contents()
{
    QFile file(logDir() + QLatin1Char('/') + newestFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void matchesWhole(const QString& text, const QString& pattern)
{
    QVERIFY2(QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$')).match(text).hasMatch(), qPrintable(text));
}

} // namespace

class TestActivityLogDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        DynamicLibLogger::destroyInstance();
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/Log")).removeRecursively();
    }

    void twoOpeningsOneRun()
    {
        for (int opening = 0; opening < 2; ++opening) {
            InkManagement dialog(0);
            QVERIFY(dialog.findChild<QWidget*>(QStringLiteral("tableWidget_inkList")));
        }
        QCOMPARE(newestFile(), QStringLiteral("Activity1.log"));
        matchesWhole(contents(), header() + openingLines() + openingLines());

        // The next run continues the same file after an empty line.
        DynamicLibLogger::destroyInstance();
        {
            InkManagement dialog(0);
        }
        QCOMPARE(newestFile(), QStringLiteral("Activity1.log"));
        matchesWhole(contents(), header() + openingLines() + openingLines() + QStringLiteral("\n") + header() + openingLines());
    }
};

QTEST_MAIN(TestActivityLogDialog)
#include "tst_activitylogdialog.moc"
