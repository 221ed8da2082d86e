// Choosing and loading the plug-in's translation, directly and through the
// host's SetHost: which file wins, which message boxes come up, what the
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

using namespace LangFixture;

namespace {

QString title() { return CTranslatorMgr::text("InkManagement", "Ink Management"); }

QStringList load()
{
    BoxCatcher boxes;
    CTranslatorMgr::instance()->loadTranslator();
    return boxes.seen;
}

QString expand(const char* text)
{
    return QString::fromUtf8(text).replace(QStringLiteral("%APP%"), appDir());
}

QByteArray catalogueChoosing(int language)
{
    return utf8WithMark(QStringLiteral("[LANG_MGR]\nDEFAULT=%1\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\n"
                                       "LANG0_SHOW=1\nLANG1_NAME=English\nLANG1_FOLDER=en\nLANG1_SHOW=1\n")
                            .arg(language));
}

const char* CatalogueBox = "W|Warning|Failed to open INI file:%APP%/Lang/Lang.ini";
const char* MissingEnBox = "C|Error|Cannot find the \"%APP%/Lang/en/VqTintwell.qm\" file";
const char* MissingNoPathBox = "C|Error|Cannot find the \"\" file";
const char* ChsFailedBox = "W|Warning|Load translator file%APP%/Lang/chs/VqTintwell.qmfailed!";
const char* EnFailedBox = "W|Warning|Load translator file%APP%/Lang/en/VqTintwell.qmfailed!";

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
        const QStringList chsOnly = {QStringLiteral("chs=marker_b")};
        const QByteArray empty = utf8WithMark(QString());
        auto ini = [](const char* text) { return utf8WithMark(QString::fromUtf8(text)); };
        auto boxes = [](std::initializer_list<const char*> texts) {
            QStringList list;
            for (const char* text : texts)
                list.append(expand(text));
            return list;
        };

        QTest::newRow("default language") << catalogueChoosing(1) << both << QStringList() << QStringLiteral("A");
        QTest::newRow("no catalogue falls back to chs") << QByteArray() << chsOnly << boxes({CatalogueBox}) << QStringLiteral("B");
        QTest::newRow("empty catalogue") << empty << chsOnly << QStringList() << QStringLiteral("B");
        QTest::newRow("no DEFAULT picks language 0")
            << ini("[LANG_MGR]\nLANG0_FOLDER=en\nLANG0_SHOW=1\n") << both << QStringList() << QStringLiteral("A");
        QTest::newRow("DEFAULT names no language")
            << ini("[LANG_MGR]\nDEFAULT=7\nLANG0_FOLDER=en\nLANG0_SHOW=1\n") << both << QStringList() << QStringLiteral("B");
        QTest::newRow("hidden default language")
            << ini("[LANG_MGR]\nDEFAULT=1\nLANG1_FOLDER=en\nLANG1_SHOW=0\n") << both << QStringList() << QStringLiteral("B");
        QTest::newRow("comment spoils the folder")
            << ini("[LANG_MGR]\nLANG0_FOLDER=en ; English\nLANG0_SHOW=1\n") << both << QStringList() << QStringLiteral("B");
        QTest::newRow("chosen file missing, chs silently") << catalogueChoosing(1) << chsOnly << QStringList() << QStringLiteral("B");
        QTest::newRow("both files missing")
            << catalogueChoosing(1) << QStringList() << boxes({MissingEnBox, ChsFailedBox}) << QString();
        QTest::newRow("both missing, catalogue gives no path")
            << empty << QStringList{QStringLiteral("en=marker_a")} << boxes({MissingNoPathBox, ChsFailedBox}) << QString();
        QTest::newRow("nothing at all")
            << QByteArray() << QStringList() << boxes({CatalogueBox, MissingNoPathBox, ChsFailedBox}) << QString();
        QTest::newRow("chosen file is no translation")
            << catalogueChoosing(1) << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=garbage")}
            << boxes({EnFailedBox}) << QString();
    }

    void choosing()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, files);
        QFETCH(QStringList, boxes);
        QFETCH(QString, loaded);

        // Start from a loaded translator, so that a load that should empty it
        // can be told from one that never happened.
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("contexts")));
        QVERIFY(writeCatalogue(QByteArray()));
        QCOMPARE(load(), QStringList());
        QTranslator* const translator = CTranslatorMgr::instance()->translator();
        QVERIFY(!translator->isEmpty());
        removeLangDir();

        if (!ini.isEmpty())
            QVERIFY(writeCatalogue(ini));
        for (const QString& file : qAsConst(files))
            QVERIFY(installQm(file.section(QLatin1Char('='), 0, 0), file.section(QLatin1Char('='), 1)));
        QCOMPARE(load(), boxes);
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
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("marker_a")));
        QVERIFY(writeCatalogue(QByteArray()));
        QCOMPARE(load(), QStringList());
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
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QString>("object"); // empty: the window title
        QTest::addColumn<QByteArray>("source"); // empty: shown empty whatever the translation
        const char* const inkManagement[] = {
            "=Ink Management", "label_title=Ink Management", "label_inkInfo=Ink Information:",
            "label_ink=Ink", "label_remaining=Remaining", "pushButton_inkRefillLog=Ink Refill Log",
            "label_info3=Note: The current device has unlimited ink remaining!", "pushButton_close=Close",
            "pushButton_close_2=", "tableWidget_inkList=Unlimited"};
        const char* const inkRefillLog[] = {"=Ink Refill Log", "label_title=Ink Refill Log", "label_ink=Time",
                                            "label_remaining=Ink", "label_added=Added", "pushButton_close=OK",
                                            "pushButton_close_2="};
        auto rows = [](const char* context, const auto& entries) {
            for (const char* entry : entries) {
                const QString text = QString::fromUtf8(entry);
                QTest::addRow("%s %s", context, entry)
                    << QByteArray(context) << text.section(QLatin1Char('='), 0, 0)
                    << text.section(QLatin1Char('='), 1).toUtf8();
            }
        };
        rows("InkManagement", inkManagement);
        rows("InkRefillLog", inkRefillLog);
    }

    void dialogTexts()
    {
        QFETCH(QByteArray, context);
        QFETCH(QString, object);
        QFETCH(QByteArray, source);

        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("contexts")));
        QVERIFY(writeCatalogue(QByteArray()));
        QCOMPARE(load(), QStringList());
        RecordingHost host;
        host.limited = false; // so the amount column asks for "Unlimited"
        host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        IInkHost* const previousHost = g_host;
        g_host = &host;
        QScopedPointer<QWidget> dialog(context == "InkManagement" ? static_cast<QWidget*>(new InkManagement(0))
                                                                  : new InkRefillLog);
        g_host = previousHost;

        QWidget* widget = object.isEmpty() ? dialog.data() : dialog->findChild<QWidget*>(object);
        QVERIFY(widget);
        QString shown = widget->windowTitle();
        if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown = button->text();
        else if (auto* table = qobject_cast<QTableWidget*>(widget))
            shown = table->item(0, 1) ? table->item(0, 1)->text() : QString();
        const QString prefix = context == "InkManagement" ? QStringLiteral("IM:") : QStringLiteral("IRL:");
        QCOMPARE(shown, source.isEmpty() ? QString() : prefix + QString::fromUtf8(source));
        if (source.isEmpty())
            return;

        QTranslator chs, en;
        QVERIFY(chs.load(QStringLiteral(VQ_SHIPPED_LANG_DIR "/chs/VqTintwell.qm")));
        QVERIFY(en.load(QStringLiteral(VQ_SHIPPED_LANG_DIR "/en/VqTintwell.qm")));
        const QString chsText = chs.translate(context.constData(), source.constData(), nullptr, -1);
        QVERIFY(!chsText.isEmpty() && chsText != QString::fromUtf8(source));
        QCOMPARE(en.translate(context.constData(), source.constData(), nullptr, -1), QString::fromUtf8(source));
    }

    // Each SetHost with an interface reloads, whichever interface object it
    // is; one without an interface reads nothing.
    void setHostLoads()
    {
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("marker_b")));
        QVERIFY(installQm(QStringLiteral("en"), QStringLiteral("marker_a")));
        QVERIFY(writeCatalogue(catalogueChoosing(1)));
        RecordingHost host;
        ITintwell* tintwell = NewInterface();
        ITintwell* second = NewInterface();
        BoxCatcher boxes;
        QVERIFY(tintwell->SetHost(&host));
        QCOMPARE(title(), QStringLiteral("A"));
        QVERIFY(writeCatalogue(catalogueChoosing(0)));
        QVERIFY(tintwell->SetHost(&host));
        QCOMPARE(title(), QStringLiteral("B"));
        QVERIFY(writeCatalogue(catalogueChoosing(1)));
        QVERIFY(second->SetHost(&host));
        QCOMPARE(title(), QStringLiteral("A"));

        removeLangDir();
        QVERIFY(!tintwell->SetHost(nullptr));
        QCOMPARE(boxes.seen, QStringList());
        QCOMPARE(title(), QStringLiteral("A"));
        QVERIFY(tintwell->SetHost(&host));
        QCOMPARE(boxes.seen.size(), 3);
        QCOMPARE(title(), QString());

        ReleaseInterface(second);
        ReleaseInterface(tintwell);
        QVERIFY(host.logLines.isEmpty());
    }
};

QTEST_MAIN(TestTranslatorLoad)
#include "tst_translatorload.moc"
