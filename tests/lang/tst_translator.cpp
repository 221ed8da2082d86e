// SPDX-License-Identifier: MIT
// The language manager: how it reads the host's catalogue, which
// translation it loads and which message boxes it shows on the way, and that
// every dialog text is asked for under its own dialog's name.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "lang/ctranslatormgr.h"
#include "plugin/ctintwell.h"
#include "plugin/globals.h"
#include "testsupport/recordinghost.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QTextCodec>
#include <QTranslator>
#include <QtTest>

namespace {

QString langDir()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Lang");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly)
        && file.write(bytes) == bytes.size();
}

// 'text' in 'codec' without the codec's own mark, 'mark' in front.
QByteArray encode(const char* codec, const QString& text, const QByteArray& mark = QByteArray())
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return mark + QTextCodec::codecForName(codec)->fromUnicode(text.constData(), text.size(), &state);
}

QByteArray utf8(const char* text)
{
    return encode("UTF-8", QString::fromUtf8(text), "\xEF\xBB\xBF");
}

// Installs test translation 'marker' (or a file that is no translation at
// all) as the language folder 'folder' holds it.
bool installQm(const QString& folder, const QString& marker)
{
    QFile source(QStringLiteral(VQ_LANG_TEST_DATA "/") + marker + QStringLiteral(".qm"));
    const QByteArray bytes = marker == QLatin1String("garbage") ? QByteArray("no translation")
        : source.open(QIODevice::ReadOnly)                      ? source.readAll()
                                                                : QByteArray();
    return !bytes.isEmpty()
        && writeFile(langDir() + QLatin1Char('/') + folder + QStringLiteral("/VqTintwell.qm"), bytes);
}

// While it lives, records each message box as "W|title|text" or
// "C|title|text" and closes it through Ok; a box that isn't parentless,
// modal and with Ok alone is marked malformed.
class BoxCatcher : public QObject
{
public:
    QStringList seen;

    BoxCatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            const bool wellFormed = !box->parentWidget() && box->standardButtons() == QMessageBox::Ok;
            seen << QStringLiteral("%1%2|%3|%4")
                        .arg(QLatin1String(wellFormed ? "" : "malformed:"),
                             QLatin1String(box->icon() == QMessageBox::Warning        ? "W"
                                               : box->icon() == QMessageBox::Critical ? "C"
                                                                                      : "?"),
                             box->windowTitle(), box->text());
            box->done(QMessageBox::Ok);
        });
        m_timer.start(2);
    }

private:
    QTimer m_timer;
};

// The boxes a load shows, the way a host makes it happen: by handing its
// interface over.
QStringList load()
{
    static RecordingHost host;
    static CTintwell tintwell;
    BoxCatcher boxes;
    return tintwell.SetHost(&host) ? boxes.seen : QStringList{QStringLiteral("SetHost failed")};
}

QString title()
{
    return CTranslatorMgr::translate("InkManagement", "Ink Management");
}

// "default; visible; paths": the default language's number, "id|name|folder"
// of each visible language, and "id=folder" for each number with a
// translation path, folder being what lies between Lang/ and the file name.
QString summary(const CTranslatorMgr& manager)
{
    QStringList visible, paths;
    const QList<LangInfo> languages = manager.visibleLangList();
    for (const LangInfo& info : languages)
        visible << QStringLiteral("%1|%2|%3").arg(info.id).arg(info.name, info.folder);
    for (int id = 0; id <= 10; ++id) {
        if (QString path = manager.qmFilePath(id); !path.isEmpty())
            paths << QStringLiteral("%1=%2").arg(id).arg(
                path.remove(langDir() + QLatin1Char('/')).remove(QStringLiteral("/VqTintwell.qm")));
    }
    return QStringLiteral("%1; %2; %3")
        .arg(manager.defaultLangId())
        .arg(visible.join(QLatin1Char(',')), paths.join(QLatin1Char(',')));
}

const QString Both = QStringLiteral("[LANG_MGR]\nDEFAULT=1\nLANG0_ID=0\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\n"
                                    "LANG0_SHOW=1\nLANG1_NAME=繁體中文\nLANG1_FOLDER=cht\nLANG1_SHOW=1\n");

} // namespace

class TestTranslator : public QObject
{
    Q_OBJECT

private slots:
    // Must come first: nothing has loaded the translator yet.
    void emptyBeforeAnyLoad()
    {
        QCOMPARE(CTranslatorMgr::instance(), CTranslatorMgr::instance());
        QCOMPARE(title(), QString());
    }

    // The host's own translation, which must never answer for the plug-in.
    void initTestCase()
    {
        QVERIFY(m_hostTranslation.load(QStringLiteral(VQ_LANG_TEST_DATA "/marker_b.qm")));
        QVERIFY(QCoreApplication::installTranslator(&m_hostTranslation));
    }

    void init() { QDir(langDir()).removeRecursively(); }

    void catalogue_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* ini, const char* expected) {
            QTest::newRow(name) << utf8(ini) << QString::fromUtf8(expected);
        };
        row("comments, blanks and padding; a comment after a value belongs to it",
            "; c\n[LANG_MGR]\n\n   \n# LANG1_SHOW=1\n  ;LANG1_NAME=X\n\t LANG0_NAME  =  Name with blanks \t\n"
            "LANG0_FOLDER = en ; e\nLANG0_SHOW = 1\n",
            "0; 0|Name with blanks|en ; e; 0=en ; e");
        row("later equals signs stay in the value, lines without a key are skipped",
            "[LANG_MGR]\nLANG0_NAME=a=b\n=LANG0_FOLDER\nLANG0_FOLDER\nLANG0_FOLDER=x=y\nLANG0_SHOW=1\n=DEFAULT=3\n",
            "0; 0|a=b|x=y; 0=x=y");
        row("numbers: leading zeros name one language, too large counts as 0, listed ascending",
            "[LANG_MGR]\nLANG10_NAME=Ten\nLANG10_FOLDER=t\nLANG10_SHOW=1\nLANG007_NAME=Seven\nLANG7_FOLDER=f7\n"
            "LANG0007_SHOW=1\nLANG99999999999_NAME=Big\nLANG99999999999_FOLDER=big\nLANG99999999999_SHOW=1\n",
            "0; 0|Big|big,7|Seven|f7,10|Ten|t; 0=big,7=f7,10=t");
        row("later lines replace earlier ones",
            "[LANG_MGR]\nDEFAULT=3\nLANG0_NAME=First\nLANG0_FOLDER=one\nLANG0_SHOW=1\nLANG0_NAME=Second\n"
            "LANG0_FOLDER=two\nDEFAULT=2\nLANG1_SHOW=1\nLANG1_NAME=N\nLANG1_FOLDER=g\nLANG1_SHOW=0\n",
            "2; 0|Second|two; 0=two");
        row("only the LANG_MGR section counts, an unclosed bracket is no header",
            "DEFAULT=5\nLANG0_NAME=A\nLANG0_FOLDER=a\nLANG0_SHOW=1\n[Other]\nDEFAULT=6\nLANG1_FOLDER=b\nLANG1_SHOW=1\n"
            "[LANG_MGR]\nLANG2_NAME=C\nLANG2_FOLDER=c\n[Other\n[X=1\n[ LANG_MGR ]\nLANG3_FOLDER=d\nLANG3_SHOW=1\n"
            "[lang_mgr]\nLANG4_FOLDER=e\nLANG4_SHOW=1\n[LANG_MGR]\nLANG2_SHOW=1\n",
            "0; 2|C|c; 2=c");
        row("keys are case-sensitive and matched whole",
            "[LANG_MGR]\nDefault=1\nlang0_NAME=a\nLANG0_name=a\nLANG0_NAMES=a\nXLANG0_NAME=a\nLANGx_NAME=a\n"
            "LANG_NAME=a\nLANG0_FOLDER=f\nLANG0_SHOW=1\n",
            "0; ; 0=f");
        row("SHOW must be the number 1",
            "[LANG_MGR]\nLANG0_NAME=a\nLANG0_FOLDER=a\nLANG0_SHOW=2\nLANG1_NAME=b\nLANG1_FOLDER=b\nLANG1_SHOW=true\n"
            "LANG2_NAME=c\nLANG2_FOLDER=c\nLANG2_SHOW=01\nLANG3_NAME=d\nLANG3_FOLDER=d\nLANG3_SHOW=\n",
            "0; 2|c|c; 2=c");
        row("ID neither renumbers nor makes a usable language on its own",
            "[LANG_MGR]\nLANG5_ID=9\nLANG3_ID=8\nLANG3_NAME=Three\nLANG3_FOLDER=t\nLANG3_SHOW=1\n",
            "0; 3|Three|t; 3=t");
        row("listing needs name and folder, a path only the folder",
            "[LANG_MGR]\nLANG0_NAME=NoFolder\nLANG0_SHOW=1\nLANG1_FOLDER=nameless\nLANG1_SHOW=1\n", "0; ; 1=nameless");
        row("DEFAULT: signed, base 10, not a number counts as 0", "[LANG_MGR]\nDEFAULT=-3\n", "-3; ; ");
        row("DEFAULT with leading zeros", "[LANG_MGR]\nDEFAULT=010\n", "10; ; ");
        row("DEFAULT that is no number", "[LANG_MGR]\nDEFAULT=7\nDEFAULT=0x7\n", "0; ; ");
        // The same catalogue in each encoding a host may use. The mark comes
        // right before the header, which a mark read as text would spoil.
        const QString both = QStringLiteral("1; 0|简体中文|chs,1|繁體中文|cht; 0=chs,1=cht");
        QTest::newRow("UTF-8 with mark") << encode("UTF-8", Both, "\xEF\xBB\xBF") << both;
        QTest::newRow("UTF-16LE with mark, CR LF")
            << encode("UTF-16LE", QString(Both).replace(QLatin1Char('\n'), QLatin1String("\r\n")), "\xFF\xFE") << both;
        QTest::newRow("UTF-16LE with the mark twice") << encode("UTF-16LE", Both, "\xFF\xFE\xFF\xFE") << both;
        QTest::newRow("UTF-8 with the mark twice")
            << encode("UTF-8", Both, "\xEF\xBB\xBF\xEF\xBB\xBF") << QStringLiteral("0; ; ");
        QTest::newRow("GB2312 without mark") << encode("GB2312", Both) << both;
        QTest::newRow("UTF-16BE reads as GB2312") << encode("UTF-16BE", Both, "\xFE\xFF") << QStringLiteral("0; ; ");
        QTest::newRow("UTF-8 without mark reads as GB2312") << encode(
            "UTF-8", QStringLiteral("[LANG_MGR]\nDEFAULT=1\nLANG0_NAME=Plain\nLANG0_FOLDER=p\nLANG0_SHOW=1\n"))
                                                            << QStringLiteral("1; 0|Plain|p; 0=p");
    }

    void catalogue()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        CTranslatorMgr manager;
        QCOMPARE(summary(manager), QStringLiteral("0; ; "));
        QVERIFY(writeFile(langDir() + QStringLiteral("/Lang.ini"),
                          utf8("[LANG_MGR]\nDEFAULT=9\nLANG9_FOLDER=x\nLANG9_SHOW=1\n")));
        manager.loadLangIni();
        QVERIFY(writeFile(langDir() + QStringLiteral("/Lang.ini"), bytes));
        manager.loadLangIni();
        QCOMPARE(summary(manager), expected);
    }

    // The codec goes by the mark alone and leaves the mark for the reader.
    void codecForDevice_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("codec");
        QTest::newRow("empty") << QByteArray() << QByteArray("GB2312");
        QTest::newRow("single FF") << QByteArray("\xFF") << QByteArray("GB2312");
        QTest::newRow("FF FE only") << QByteArray("\xFF\xFE") << QByteArray("UTF-16LE");
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF[L") << QByteArray("UTF-8");
        QTest::newRow("UTF-8 mark cut short") << QByteArray("\xEF\xBB") << QByteArray("GB2312");
    }

    void codecForDevice()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, codec);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(CTranslatorMgr::codecForDevice(&buffer), QTextCodec::codecForName(codec));
        QCOMPARE(buffer.pos(), qint64(0));
    }

    // Which file each SetHost loads, and which boxes it shows on the way,
    // in order. Each starts from a loaded translator, so that a load that
    // empties it shows.
    void loading_data()
    {
        QTest::addColumn<QByteArray>("ini");    // empty: no catalogue at all
        QTest::addColumn<QStringList>("files"); // folder=marker
        QTest::addColumn<QStringList>("boxes"); // %APP% stands for the application directory
        QTest::addColumn<QString>("loaded");    // what the title translates to
        const QByteArray chooseEn =
            utf8("[LANG_MGR]\nDEFAULT=1\nLANG0_FOLDER=chs\nLANG0_SHOW=1\nLANG1_FOLDER=en\nLANG1_SHOW=1\n");
        const QStringList both{QStringLiteral("chs=marker_b"), QStringLiteral("en=marker_a")};
        const QStringList chsOnly{QStringLiteral("chs=marker_b")};
        const QString noIni = QStringLiteral("W|Warning|Failed to open INI file:%APP%/Lang/Lang.ini");
        const QString chsFailed = QStringLiteral("W|Warning|Load translator file%APP%/Lang/chs/VqTintwell.qmfailed!");
        QTest::newRow("default language") << chooseEn << both << QStringList() << QStringLiteral("A");
        QTest::newRow("no catalogue") << QByteArray() << chsOnly << QStringList{noIni} << QStringLiteral("B");
        QTest::newRow("no DEFAULT picks 0")
            << utf8("[LANG_MGR]\nLANG0_FOLDER=en\nLANG0_SHOW=1\n") << both << QStringList() << QStringLiteral("A");
        QTest::newRow("DEFAULT names no language") << utf8("[LANG_MGR]\nDEFAULT=7\nLANG0_FOLDER=en\nLANG0_SHOW=1\n")
                                                   << both << QStringList() << QStringLiteral("B");
        QTest::newRow("hidden language") << utf8("[LANG_MGR]\nLANG0_FOLDER=en\nLANG0_SHOW=0\n") << both << QStringList()
                                         << QStringLiteral("B");
        QTest::newRow("chosen file missing") << chooseEn << chsOnly << QStringList() << QStringLiteral("B");
        QTest::newRow("both files missing")
            << chooseEn << QStringList()
            << QStringList{QStringLiteral("C|Error|Cannot find the \"%APP%/Lang/en/VqTintwell.qm\" file"), chsFailed}
            << QString();
        QTest::newRow("nothing at all") << QByteArray() << QStringList()
                                        << QStringList{noIni, QStringLiteral("C|Error|Cannot find the \"\" file"),
                                                       chsFailed}
                                        << QString();
        QTest::newRow("chosen file is no translation")
            << chooseEn << QStringList{QStringLiteral("en=garbage")}
            << QStringList{QStringLiteral("W|Warning|Load translator file%APP%/Lang/en/VqTintwell.qmfailed!")}
            << QString();
    }

    void loading()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, files);
        QFETCH(QStringList, boxes);
        QFETCH(QString, loaded);
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("contexts"))
                && writeFile(langDir() + QStringLiteral("/Lang.ini"), {}));
        QCOMPARE(load(), QStringList());
        QVERIFY(!title().isEmpty());
        QDir(langDir()).removeRecursively();

        if (!ini.isEmpty())
            QVERIFY(writeFile(langDir() + QStringLiteral("/Lang.ini"), ini));
        for (const QString& file : files)
            QVERIFY(installQm(file.section(QLatin1Char('='), 0, 0), file.section(QLatin1Char('='), 1)));
        QTranslator* const translator = CTranslatorMgr::instance()->translator();
        QCOMPARE(load(), boxes.replaceInStrings(QStringLiteral("%APP%"), QCoreApplication::applicationDirPath()));
        QCOMPARE(title(), loaded);
        QCOMPARE(CTranslatorMgr::instance()->translator(), translator);
        // The plug-in's translator and the application's never answer for
        // each other.
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"), QStringLiteral("B"));
    }

    // Each dialog asks for every text under its own name, the title-bar
    // button's accessible name included.
    void dialogTexts_data()
    {
        QTest::addColumn<QString>("entry"); // "prefix:object.property=source"
        const char* const entries[] = {"IM:.windowTitle=Ink Management",
                                       "IM:label_title.text=Ink Management",
                                       "IM:label_inkInfo.text=Ink Information:",
                                       "IM:label_ink.text=Ink",
                                       "IM:label_remaining.text=Remaining",
                                       "IM:pushButton_inkRefillLog.text=Ink Refill Log",
                                       "IM:label_info3.text=Note: The current device has unlimited ink remaining!",
                                       "IM:pushButton_close.text=Close",
                                       "IM:pushButton_close_2.text=",
                                       "IM:pushButton_close_2.accessibleName=Close",
                                       "IM:unlimited=Unlimited",
                                       "IRL:.windowTitle=Ink Refill Log",
                                       "IRL:label_title.text=Ink Refill Log",
                                       "IRL:label_ink.text=Time",
                                       "IRL:label_remaining.text=Ink",
                                       "IRL:label_added.text=Added",
                                       "IRL:pushButton_close.text=OK",
                                       "IRL:pushButton_close_2.text=",
                                       "IRL:pushButton_close_2.accessibleName=Close"};
        for (const char* entry : entries)
            QTest::newRow(entry) << QString::fromUtf8(entry);
    }

    void dialogTexts()
    {
        QFETCH(QString, entry);
        const QString prefix = entry.section(QLatin1Char(':'), 0, 0) + QLatin1Char(':');
        const QString target = entry.section(QLatin1Char('='), 0, 0).mid(prefix.size());
        const QString source = entry.section(QLatin1Char('='), 1);
        const QByteArray context = prefix == QLatin1String("IM:") ? "InkManagement" : "InkRefillLog";
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("contexts"))
                && writeFile(langDir() + QStringLiteral("/Lang.ini"), {}));
        QCOMPARE(load(), QStringList());

        RecordingHost host;
        host.limited = false;
        host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        g_host = &host;
        const std::unique_ptr<QDialog> dialog(context == "InkManagement" ? static_cast<QDialog*>(new InkManagement(0))
                                                                         : new InkRefillLog);
        g_host = nullptr;
        QString shown;
        if (target == QLatin1String("unlimited")) {
            shown = dialog->findChild<QTableWidget*>()->item(0, 1)->text();
        } else {
            QObject* object = target.startsWith(QLatin1Char('.'))
                ? dialog.get()
                : dialog->findChild<QObject*>(target.section(QLatin1Char('.'), 0, 0));
            const QByteArray property = target.section(QLatin1Char('.'), 1).toLatin1();
            shown = property == "accessibleName"
                ? QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name)
                : object->property(property.constData()).toString();
        }
        QCOMPARE(shown, source.isEmpty() ? QString() : prefix + source);
    }

private:
    QTranslator m_hostTranslation;
};

QTEST_MAIN(TestTranslator)
#include "tst_translator.moc"
