// Choosing and loading the plug-in's translation: which file wins, when the
// message boxes come up and what they say, what the translator holds
// afterwards, and that the application's own translation is left alone.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "lang/ctranslatormgr.h"
#include "langfixture.h"
#include "plugin/globals.h"

#include "common/recordinghost.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

using namespace LangFixture;

namespace {

QString inkText(const char* source)
{
    return CTranslatorMgr::text("InkManagement", source);
}

const QString TwoLanguagesEnglishDefault = QStringLiteral(
    "[LANG_MGR]\nDEFAULT=1\n"
    "LANG0_NAME=简体中文\nLANG0_FOLDER=chs\nLANG0_SHOW=1\n"
    "LANG1_NAME=English\nLANG1_FOLDER=en\nLANG1_SHOW=1\n");

QString expand(QString text)
{
    return text.replace(QStringLiteral("%APP%"), appDir());
}

QString missingBox(const QString& path)
{
    return QStringLiteral("C|Error|Cannot find the \"%1\" file").arg(expand(path));
}

QString loadFailedBox(const QString& path)
{
    return QStringLiteral("W|Warning|Load translator file%1failed!").arg(expand(path));
}

const QString CatalogueBox = QStringLiteral("W|Warning|Failed to open INI file:%APP%/Lang/Lang.ini");
const QString ChsPath = QStringLiteral("%APP%/Lang/chs/VqTintwell.qm");
const QString EnPath = QStringLiteral("%APP%/Lang/en/VqTintwell.qm");

// Loads with the boxes caught, and checks what every box must be whatever it
// says: no parent, modal, Ok as its only button.
QStringList loadCatchingBoxes()
{
    BoxCatcher boxes;
    CTranslatorMgr::instance()->loadTranslator();
    for (const SeenBox& box : qAsConst(boxes.seen)) {
        if (!box.parentless || !box.modal || box.buttons != QMessageBox::Ok || box.buttonCount != 1)
            return {QStringLiteral("malformed box: ") + box.summary()};
    }
    return boxes.summaries();
}

} // namespace

class TestTranslatorLoad : public QObject
{
    Q_OBJECT

private slots:
    // Must run first: nothing has loaded the translator yet.
    void textsAreEmptyBeforeAnyLoad()
    {
        QVERIFY(CTranslatorMgr::instance()->translator()->isEmpty());
        QCOMPARE(inkText("Ink Management"), QString());
    }

    void init() { removeLangDir(); }
    void cleanupTestCase()
    {
        removeLangDir();
        QDir(appDir() + QStringLiteral("/Log")).removeRecursively();
    }

    void instanceIsOneForTheProcess()
    {
        CTranslatorMgr* manager = CTranslatorMgr::instance();
        QVERIFY(manager);
        QCOMPARE(CTranslatorMgr::instance(), manager);
        QCOMPARE(manager->parent(), nullptr);
        QCOMPARE(g_qmFileName, QStringLiteral("VqTintwell.qm"));
    }

    void choosing_data()
    {
        QTest::addColumn<bool>("haveCatalogue");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("files"); // folder=marker
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("loaded"); // what "Ink Management" translates to

        QTest::newRow("default language")
            << true << TwoLanguagesEnglishDefault
            << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=marker_a")}
            << QStringList{} << QStringLiteral("A");
        QTest::newRow("no catalogue falls back to chs")
            << false << QString() << QStringList{QStringLiteral("chs=marker_b")}
            << QStringList{expand(CatalogueBox)} << QStringLiteral("B");
        QTest::newRow("empty catalogue")
            << true << QString() << QStringList{QStringLiteral("chs=marker_b")} << QStringList{}
            << QStringLiteral("B");
        QTest::newRow("no DEFAULT picks language 0")
            << true << QStringLiteral("[LANG_MGR]\nLANG0_FOLDER=en\nLANG0_SHOW=1\n")
            << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=marker_a")}
            << QStringList{} << QStringLiteral("A");
        QTest::newRow("DEFAULT names no language")
            << true << QStringLiteral("[LANG_MGR]\nDEFAULT=7\nLANG0_FOLDER=en\nLANG0_SHOW=1\n")
            << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=marker_a")}
            << QStringList{} << QStringLiteral("B");
        QTest::newRow("hidden default language")
            << true << QStringLiteral("[LANG_MGR]\nDEFAULT=1\nLANG1_FOLDER=en\nLANG1_SHOW=0\n")
            << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=marker_a")}
            << QStringList{} << QStringLiteral("B");
        QTest::newRow("comment spoils the folder")
            << true << QStringLiteral("[LANG_MGR]\nLANG0_FOLDER=en ; English\nLANG0_SHOW=1\n")
            << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=marker_a")}
            << QStringList{} << QStringLiteral("B");
        QTest::newRow("chosen file missing, chs silently")
            << true << TwoLanguagesEnglishDefault << QStringList{QStringLiteral("chs=marker_b")}
            << QStringList{} << QStringLiteral("B");
        QTest::newRow("both files missing")
            << true << TwoLanguagesEnglishDefault << QStringList{}
            << QStringList{missingBox(EnPath), loadFailedBox(ChsPath)} << QString();
        QTest::newRow("both missing, catalogue gives no path")
            << true << QString() << QStringList{QStringLiteral("en=marker_a")}
            << QStringList{missingBox(QString()), loadFailedBox(ChsPath)} << QString();
        QTest::newRow("nothing at all")
            << false << QString() << QStringList{}
            << QStringList{expand(CatalogueBox), missingBox(QString()), loadFailedBox(ChsPath)}
            << QString();
        QTest::newRow("chosen file is no translation")
            << true << TwoLanguagesEnglishDefault
            << QStringList{QStringLiteral("chs=marker_b"), QStringLiteral("en=garbage")}
            << QStringList{loadFailedBox(EnPath)} << QString();
    }

    void choosing()
    {
        QFETCH(bool, haveCatalogue);
        QFETCH(QString, ini);
        QFETCH(QStringList, files);
        QFETCH(QStringList, boxes);
        QFETCH(QString, loaded);

        // Start from a loaded translator, so that a load that should empty it
        // can be told from one that never happened.
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("contexts")));
        QVERIFY(writeCatalogue(QByteArray()));
        QCOMPARE(loadCatchingBoxes(), QStringList());
        QVERIFY(!CTranslatorMgr::instance()->translator()->isEmpty());
        removeLangDir();

        if (haveCatalogue)
            QVERIFY(writeCatalogue(utf8WithMark(ini)));
        for (const QString& file : qAsConst(files))
            QVERIFY(installQm(file.section(QLatin1Char('='), 0, 0), file.section(QLatin1Char('='), 1)));

        QCOMPARE(loadCatchingBoxes(), boxes);
        QCOMPARE(inkText("Ink Management"), loaded);
        QCOMPARE(CTranslatorMgr::instance()->translator()->isEmpty(), loaded.isEmpty());
    }

    void secondLoadStartsAfresh()
    {
        CTranslatorMgr* manager = CTranslatorMgr::instance();
        QTranslator* translator = manager->translator();

        QVERIFY(writeCatalogue(utf8WithMark(TwoLanguagesEnglishDefault)));
        QVERIFY(installQm(QStringLiteral("en"), QStringLiteral("marker_a")));
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("marker_b")));
        QCOMPARE(loadCatchingBoxes(), QStringList());
        QCOMPARE(inkText("Ink Management"), QStringLiteral("A"));
        QCOMPARE(manager->visibleLangList().size(), 2);

        // English is gone from the catalogue, and with it its file.
        QVERIFY(writeCatalogue(utf8WithMark(
            QStringLiteral("[LANG_MGR]\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\nLANG0_SHOW=1\n"))));
        QCOMPARE(loadCatchingBoxes(), QStringList());
        QCOMPARE(inkText("Ink Management"), QStringLiteral("B"));
        QCOMPARE(manager->visibleLangList().size(), 1);
        QVERIFY(manager->qmFilePath(1).isEmpty());
        QCOMPARE(manager->defaultLangId(), 0);

        // A failed load doesn't keep what the earlier one gave.
        removeLangDir();
        QCOMPARE(loadCatchingBoxes(),
                 (QStringList{expand(CatalogueBox), missingBox(QString()), loadFailedBox(ChsPath)}));
        QCOMPARE(inkText("Ink Management"), QString());
        QVERIFY(manager->visibleLangList().isEmpty());

        QCOMPARE(manager->translator(), translator);
    }

    // No fallback to the source text: a missing entry, or one under another
    // dialog's context, comes out empty.
    void missingEntriesAreEmpty_data()
    {
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("expected");

        QTest::newRow("present") << QByteArray("InkManagement") << QByteArray("Ink Management")
                                 << QStringLiteral("A");
        QTest::newRow("other text") << QByteArray("InkManagement") << QByteArray("Close") << QString();
        QTest::newRow("other context") << QByteArray("InkRefillLog") << QByteArray("Ink Management")
                                       << QString();
        QTest::newRow("no context") << QByteArray() << QByteArray("Ink Management") << QString();
    }

    void missingEntriesAreEmpty()
    {
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, source);
        QFETCH(QString, expected);

        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("marker_a")));
        QVERIFY(writeCatalogue(QByteArray()));
        QCOMPARE(loadCatchingBoxes(), QStringList());
        const QString text = CTranslatorMgr::text(context.constData(), source.constData());
        QCOMPARE(text, expected);
    }

    void applicationTranslationIsUntouched()
    {
        QTranslator hostTranslator;
        QVERIFY(hostTranslator.load(QStringLiteral(VQ_LANG_TEST_DATA "/marker_b.qm")));

        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("marker_a")));
        QVERIFY(writeCatalogue(QByteArray()));
        QCOMPARE(loadCatchingBoxes(), QStringList());

        // The plug-in's translator never answers for the application ...
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"),
                 QStringLiteral("Ink Management"));
        QVERIFY(!QCoreApplication::removeTranslator(CTranslatorMgr::instance()->translator()));

        // ... and the host's translator never answers for the plug-in, nor
        // does a reload take it away.
        QVERIFY(QCoreApplication::installTranslator(&hostTranslator));
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"), QStringLiteral("B"));
        QCOMPARE(loadCatchingBoxes(), QStringList());
        QCOMPARE(inkText("Ink Management"), QStringLiteral("A"));
        QCOMPARE(inkText("Close"), QString());
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"), QStringLiteral("B"));
        QVERIFY(QCoreApplication::removeTranslator(&hostTranslator));
    }

    // Every text of each dialog is found only under its own class name.
    void dialogsAskUnderTheirOwnContext()
    {
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("contexts")));
        QVERIFY(writeCatalogue(QByteArray()));
        QCOMPARE(loadCatchingBoxes(), QStringList());

        RecordingHost host;
        host.limited = false; // so the amount column asks for "Unlimited"
        host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        IInkHost* const previousHost = g_host;
        g_host = &host;

        {
            InkManagement dialog(0);
            auto label = [&](const char* name) {
                auto* widget = dialog.findChild<QLabel*>(QLatin1String(name));
                return widget ? widget->text() : QStringLiteral("<missing>");
            };
            auto button = [&](const char* name) {
                auto* widget = dialog.findChild<QPushButton*>(QLatin1String(name));
                return widget ? widget->text() : QStringLiteral("<missing>");
            };
            QCOMPARE(dialog.windowTitle(), QStringLiteral("IM:Ink Management"));
            QCOMPARE(label("label_title"), QStringLiteral("IM:Ink Management"));
            QCOMPARE(label("label_inkInfo"), QStringLiteral("IM:Ink Information:"));
            QCOMPARE(label("label_ink"), QStringLiteral("IM:Ink"));
            QCOMPARE(label("label_remaining"), QStringLiteral("IM:Remaining"));
            QCOMPARE(label("label_info3"),
                     QStringLiteral("IM:Note: The current device has unlimited ink remaining!"));
            QCOMPARE(button("pushButton_inkRefillLog"), QStringLiteral("IM:Ink Refill Log"));
            QCOMPARE(button("pushButton_close"), QStringLiteral("IM:Close"));
            QCOMPARE(button("pushButton_close_2"), QString());
            auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
            QVERIFY(table);
            QVERIFY(table->item(0, 1));
            QCOMPARE(table->item(0, 1)->text(), QStringLiteral("IM:Unlimited"));
        }
        {
            InkRefillLog dialog;
            auto text = [&](const char* name) {
                if (auto* widget = dialog.findChild<QLabel*>(QLatin1String(name)))
                    return widget->text();
                if (auto* widget = dialog.findChild<QPushButton*>(QLatin1String(name)))
                    return widget->text();
                return QStringLiteral("<missing>");
            };
            QCOMPARE(dialog.windowTitle(), QStringLiteral("IRL:Ink Refill Log"));
            QCOMPARE(text("label_title"), QStringLiteral("IRL:Ink Refill Log"));
            QCOMPARE(text("label_ink"), QStringLiteral("IRL:Time"));
            QCOMPARE(text("label_remaining"), QStringLiteral("IRL:Ink"));
            QCOMPARE(text("label_added"), QStringLiteral("IRL:Added"));
            QCOMPARE(text("pushButton_close"), QStringLiteral("IRL:OK"));
            QCOMPARE(text("pushButton_close_2"), QString());
        }
        g_host = previousHost;
    }

    // The shipped files carry every text of both dialogs; the English one
    // gives the source texts back, so choosing it changes nothing visible.
    void shippedTranslations_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QByteArray>("source");

        const QList<QByteArray> inkManagement = {
            "Ink Management", "Ink Information:", "Ink", "Remaining", "Ink Refill Log",
            "Note: The current device has unlimited ink remaining!", "Close", "Unlimited"};
        const QList<QByteArray> inkRefillLog = {"Ink Refill Log", "Time", "Ink", "Added", "OK"};
        for (const QString& folder : {QStringLiteral("chs"), QStringLiteral("en")}) {
            for (const QByteArray& source : inkManagement)
                QTest::addRow("%s InkManagement %s", qPrintable(folder), source.constData())
                    << folder << QByteArray("InkManagement") << source;
            for (const QByteArray& source : inkRefillLog)
                QTest::addRow("%s InkRefillLog %s", qPrintable(folder), source.constData())
                    << folder << QByteArray("InkRefillLog") << source;
        }
    }

    void shippedTranslations()
    {
        QFETCH(QString, folder);
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, source);

        QTranslator shipped;
        QVERIFY(shipped.load(QStringLiteral(VQ_SHIPPED_LANG_DIR "/") + folder + QStringLiteral("/VqTintwell.qm")));
        const QString text = shipped.translate(context.constData(), source.constData(), nullptr, -1);
        if (folder == QLatin1String("en")) {
            QCOMPARE(text, QString::fromUtf8(source));
        } else {
            QVERIFY(!text.isEmpty());
            QVERIFY(text != QString::fromUtf8(source));
        }
    }
};

QTEST_MAIN(TestTranslatorLoad)
#include "tst_translatorload.moc"
