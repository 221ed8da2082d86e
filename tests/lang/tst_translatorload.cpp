// Choosing and loading the plug-in's translation as the host's SetHost makes
// it happen: which file wins, which message boxes come up, what the
// translator holds afterwards, and that the application's translation is left
// alone.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "lang/ctranslatormgr.h"
#include "langfixture.h"
#include "plugin/ctintwell.h"
#include "plugin/globals.h"

#include "common/recordinghost.h"

#include <QLabel>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace LangFixture;

namespace {

QString title() { return CTranslatorMgr::text("InkManagement", "Ink Management"); }

// Loads the way a host makes it happen: by handing its interface over, again
// and again, to the same interface object. Anything but the boxes the load
// shows is reported as a failure.
QStringList load()
{
    static RecordingHost host;
    static const std::unique_ptr<ITintwell, void (*)(ITintwell*)> tintwell(NewInterface(), ReleaseInterface);
    BoxCatcher boxes;
    const bool handed = tintwell->SetHost(&host);
    g_host = nullptr; // dialogs the tests open find no host unless they set one
    return handed && host.logLines.isEmpty() ? boxes.seen : QStringList{QStringLiteral("SetHost failed or logged")};
}

// Loads the test translation 'marker' as the only language there is, from an
// empty catalogue, which must go without a box.
bool loadOnly(const char* marker)
{
    return installQm(QStringLiteral("chs"), QLatin1String(marker)) && writeCatalogue(QByteArray()) && load().isEmpty();
}

QByteArray catalogueChoosing(int language)
{
    return utf8WithMark(QStringLiteral("[LANG_MGR]\nDEFAULT=%1\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\n"
                                       "LANG0_SHOW=1\nLANG1_NAME=English\nLANG1_FOLDER=en\nLANG1_SHOW=1\n").arg(language));
}

// %APP% stands for the application directory.
const QString CatalogueBox = QStringLiteral("W|Warning|Failed to open INI file:%APP%/Lang/Lang.ini");
const QString MissingEnBox = QStringLiteral("C|Error|Cannot find the \"%APP%/Lang/en/VqTintwell.qm\" file");
const QString MissingNoPathBox = QStringLiteral("C|Error|Cannot find the \"\" file");
const QString ChsFailedBox = QStringLiteral("W|Warning|Load translator file%APP%/Lang/chs/VqTintwell.qmfailed!");
const QString EnFailedBox = QStringLiteral("W|Warning|Load translator file%APP%/Lang/en/VqTintwell.qmfailed!");

} // namespace

class TestTranslatorLoad : public QObject
{
    Q_OBJECT

private slots:
    // Must run first: nothing has loaded the translator yet.
    void textsAreEmptyBeforeAnyLoad()
    {
        QCOMPARE(CTranslatorMgr::instance(), CTranslatorMgr::instance());
        QVERIFY(CTranslatorMgr::instance()->translator()->isEmpty());
        QCOMPARE(title(), QString());
    }

    void init() { removeLangDir(); }
    void cleanupTestCase()
    {
        removeLangDir();
        QDir(appDir() + QStringLiteral("/Log")).removeRecursively();
    }

    void choosing_data()
    {
        QTest::addColumn<QByteArray>("ini"); // empty: no catalogue at all
        QTest::addColumn<QStringList>("files"); // folder=marker
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("loaded"); // what the title translates to
        const QStringList both = {QStringLiteral("chs=marker_b"), QStringLiteral("en=marker_a")};
        const QStringList chsOnly = {QStringLiteral("chs=marker_b")}, none;
        const QString a = QStringLiteral("A"), b = QStringLiteral("B"), neither;
        auto ini = [](const char* text) { return utf8WithMark(QString::fromUtf8(text)); };

        QTest::newRow("default language") << catalogueChoosing(1) << both << none << a;
        QTest::newRow("no catalogue falls back to chs") << QByteArray() << chsOnly << QStringList{CatalogueBox} << b;
        QTest::newRow("no DEFAULT picks language 0")
            << ini("[LANG_MGR]\nLANG0_FOLDER=en\nLANG0_SHOW=1\n") << both << none << a;
        QTest::newRow("DEFAULT names no language")
            << ini("[LANG_MGR]\nDEFAULT=7\nLANG0_FOLDER=en\nLANG0_SHOW=1\n") << both << none << b;
        QTest::newRow("chosen file missing, chs silently") << catalogueChoosing(1) << chsOnly << none << b;
        QTest::newRow("both files missing")
            << catalogueChoosing(1) << none << QStringList{MissingEnBox, ChsFailedBox} << neither;
        QTest::newRow("nothing at all")
            << QByteArray() << none << QStringList{CatalogueBox, MissingNoPathBox, ChsFailedBox} << neither;
        QTest::newRow("chosen file is no translation")
            << catalogueChoosing(1) << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=garbage")}
            << QStringList{EnFailedBox} << neither;
    }

    void choosing()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, files);
        QFETCH(QStringList, boxes);
        QFETCH(QString, loaded);

        // Start from a loaded translator, so that a load that should empty it
        // can be told from one that never happened.
        QVERIFY(loadOnly("contexts"));
        QTranslator* const translator = CTranslatorMgr::instance()->translator();
        QVERIFY(!translator->isEmpty());
        removeLangDir();

        if (!ini.isEmpty())
            QVERIFY(writeCatalogue(ini));
        for (const QString& file : qAsConst(files))
            QVERIFY(installQm(file.section(QLatin1Char('='), 0, 0), file.section(QLatin1Char('='), 1)));
        QCOMPARE(load(), boxes.replaceInStrings(QStringLiteral("%APP%"), appDir()));
        QCOMPARE(title(), loaded);
        QCOMPARE(translator->isEmpty(), loaded.isEmpty());
        QCOMPARE(CTranslatorMgr::instance()->translator(), translator);
    }

    // The plug-in's translator and the application's never answer for each
    // other, and there is no fallback to the source text or another context.
    void applicationTranslationIsSeparate()
    {
        QTranslator hostTranslator;
        QVERIFY(hostTranslator.load(QStringLiteral(VQ_LANG_TEST_DATA "/marker_b.qm")));
        QVERIFY(loadOnly("marker_a"));
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"), QStringLiteral("Ink Management"));
        QVERIFY(!QCoreApplication::removeTranslator(CTranslatorMgr::instance()->translator()));

        QVERIFY(QCoreApplication::installTranslator(&hostTranslator));
        QCOMPARE(load(), QStringList());
        QCOMPARE(title(), QStringLiteral("A"));
        QCOMPARE(CTranslatorMgr::text("InkManagement", "Close"), QString());
        QCOMPARE(CTranslatorMgr::text("InkRefillLog", "Ink Management"), QString());
        QCOMPARE(CTranslatorMgr::text(nullptr, "Ink Management"), QString());
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"), QStringLiteral("B"));
        QVERIFY(QCoreApplication::removeTranslator(&hostTranslator));
    }

    // Each dialog asks for every text under its own class name; the shipped
    // Chinese file translates all of them and the English one gives them back.
    void dialogTexts_data()
    {
        // "dialog:object=source", the dialog as the test translation marks its
        // texts; no object means the window title, no source a text that is
        // shown empty whatever the translation.
        QTest::addColumn<QString>("entry");
        const char* const entries[] = {
            "IM:=Ink Management", "IM:label_title=Ink Management", "IM:label_inkInfo=Ink Information:",
            "IM:label_ink=Ink", "IM:label_remaining=Remaining", "IM:pushButton_inkRefillLog=Ink Refill Log",
            "IM:label_info3=Note: The current device has unlimited ink remaining!", "IM:pushButton_close=Close",
            "IM:pushButton_close_2=", "IM:tableWidget_inkList=Unlimited", "IRL:=Ink Refill Log",
            "IRL:label_title=Ink Refill Log", "IRL:label_ink=Time", "IRL:label_remaining=Ink", "IRL:label_added=Added",
            "IRL:pushButton_close=OK", "IRL:pushButton_close_2="};
        for (const char* entry : entries)
            QTest::newRow(entry) << QString::fromUtf8(entry);
    }

    void dialogTexts()
    {
        QFETCH(QString, entry);
        const QString prefix = entry.section(QLatin1Char(':'), 0, 0) + QLatin1Char(':');
        const QString object = entry.section(QLatin1Char('='), 0, 0).mid(prefix.size());
        const QString source = entry.section(QLatin1Char('='), 1);
        const QByteArray context = prefix == QLatin1String("IM:") ? "InkManagement" : "InkRefillLog";

        QVERIFY(loadOnly("contexts"));
        RecordingHost host;
        host.limited = false; // so the amount column asks for "Unlimited"
        host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        g_host = &host;
        QScopedPointer<QWidget> dialog(context == "InkManagement" ? static_cast<QWidget*>(new InkManagement(0))
                                                                  : new InkRefillLog);
        g_host = nullptr;
        QWidget* widget = object.isEmpty() ? dialog.data() : dialog->findChild<QWidget*>(object);
        QVERIFY(widget);
        QString shown = widget->windowTitle();
        if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown = button->text();
        else if (auto* table = qobject_cast<QTableWidget*>(widget))
            shown = table->item(0, 1) ? table->item(0, 1)->text() : QString();
        QCOMPARE(shown, source.isEmpty() ? QString() : prefix + source);
        if (source.isEmpty())
            return;

        QTranslator chs, en;
        QVERIFY(chs.load(QStringLiteral(VQ_SHIPPED_LANG_DIR "/chs/VqTintwell.qm")));
        QVERIFY(en.load(QStringLiteral(VQ_SHIPPED_LANG_DIR "/en/VqTintwell.qm")));
        const QString chsText = chs.translate(context.constData(), source.toUtf8().constData(), nullptr, -1);
        QVERIFY(!chsText.isEmpty() && chsText != source);
        QCOMPARE(en.translate(context.constData(), source.toUtf8().constData(), nullptr, -1), source);
    }

    // A SetHost without an interface reads nothing; one with an interface
    // loads whichever interface object it is given to.
    void setHostWithoutInterfaceReadsNothing()
    {
        QVERIFY(loadOnly("marker_a"));
        removeLangDir();
        RecordingHost host;
        ITintwell* const other = NewInterface();
        BoxCatcher boxes;
        QVERIFY(!other->SetHost(nullptr));
        QCOMPARE(boxes.seen, QStringList());
        QCOMPARE(title(), QStringLiteral("A"));
        QVERIFY(other->SetHost(&host));
        QCOMPARE(boxes.seen.size(), 3);
        QCOMPARE(title(), QString());
        ReleaseInterface(other);
        g_host = nullptr;
    }
};

QTEST_MAIN(TestTranslatorLoad)
#include "tst_translatorload.moc"
