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

#include <QAccessible>
#include <QBuffer>
#include <QDir>
#include <QMessageBox>
#include <QTextCodec>
#include <QTranslator>
#include <QtTest>

namespace {

QString appDir()
{
    return QCoreApplication::applicationDirPath();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(appDir() + path);
    return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly)
        && file.write(bytes) == bytes.size();
}

// 'text' in 'codec' without the codec's own mark, 'mark' in front.
QByteArray encode(const char* codec, const QString& text, const QByteArray& mark = QByteArray())
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return mark
        + QTextCodec::codecForName(codec)->fromUnicode(text.constData(), text.size(), &state);
}

QByteArray utf8(const char* text)
{
    return "\xEF\xBB\xBF" + QByteArray(text);
}

// Puts the test translation 'marker' ("a", "b", "contexts", or "garbage"
// for a file that is no translation) into language folder 'folder'.
bool installQm(const QString& folder, const QString& marker)
{
    QFile source(QStringLiteral(VQ_LANG_TEST_DATA "/") + marker + QStringLiteral(".qm"));
    const QByteArray bytes = marker == "garbage" ? "no translation"
        : source.open(QIODevice::ReadOnly)       ? source.readAll()
                                                 : QByteArray();
    return !bytes.isEmpty() && writeFile("/Lang/" + folder + "/VqTintwell.qm", bytes);
}

// The message boxes a SetHost shows, the way a host makes it happen, as
// "title: text"; each is closed through its Ok. One with a parent, buttons
// besides Ok or another icon than its title says is "malformed".
QStringList handOverHost()
{
    static RecordingHost host;
    static CTintwell tintwell;
    QStringList boxes;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        const auto icon =
            box->windowTitle() == "Error" ? QMessageBox::Critical : QMessageBox::Warning;
        const bool wellFormed = !box->parentWidget() && box->standardButtons() == QMessageBox::Ok
            && box->icon() == icon;
        boxes << (wellFormed ? box->windowTitle() + ": " + box->text() : "malformed");
        box->done(QMessageBox::Ok);
    });
    timer.start(2);
    if (!tintwell.SetHost(&host))
        boxes << "SetHost failed";
    return boxes;
}

QString title()
{
    return CTranslatorMgr::translate("InkManagement", "Ink Management");
}

const char* const Both =
    "[LANG_MGR]\nDEFAULT=1\nLANG0_ID=0\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\n"
    "LANG0_SHOW=1\nLANG1_NAME=繁體中文\nLANG1_FOLDER=cht\nLANG1_SHOW=1\n";

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
        QVERIFY(m_hostTranslation.load(QStringLiteral(VQ_LANG_TEST_DATA "/b.qm")));
        QVERIFY(QCoreApplication::installTranslator(&m_hostTranslation));
    }

    void init() { QDir(appDir() + "/Lang").removeRecursively(); }

    // What a catalogue says: the translation file of its default language
    // (relative to the application directory; empty when it names none) and
    // the names of the languages it offers, in the order of their numbers.
    void catalogue_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("offered");
        const auto row = [](const char* name, const char* ini, const char* file,
                            const QStringList& offered) {
            QTest::newRow(name) << utf8(ini) << QString::fromUtf8(file) << offered;
        };
        row("comments, blanks and padding; a comment after a value is part of it",
            "; c\n[LANG_MGR]\n\n   \n# LANG1_SHOW=1\n  ;LANG1_NAME=X\n\t LANG0_NAME  =  With "
            "blanks \t\n"
            "LANG0_FOLDER = en ; e\nLANG0_SHOW = 1\n",
            "/Lang/en ; e/VqTintwell.qm", {"With blanks"});
        row("later equals signs stay in the value, lines without a key are skipped",
            "[LANG_MGR]\nLANG0_NAME=a=b\n=LANG0_FOLDER\nLANG0_FOLDER\nLANG0_FOLDER=x=y\nLANG0_SHOW="
            "1\n"
            "=DEFAULT=3\n",
            "/Lang/x=y/VqTintwell.qm", {"a=b"});
        row("leading zeros name one language, in decimal; too large counts as 0",
            "[LANG_MGR]\nDEFAULT=10\nLANG010_NAME=Ten\nLANG10_FOLDER=t\nLANG0010_SHOW=1\nLANG8_"
            "NAME=Eight\n"
            "LANG8_FOLDER=e\nLANG8_SHOW=1\nLANG99999999999_NAME=Big\nLANG99999999999_FOLDER=big\n"
            "LANG99999999999_SHOW=1\n",
            "/Lang/t/VqTintwell.qm", {"Big", "Eight", "Ten"});
        row("later lines replace earlier ones",
            "[LANG_MGR]\nDEFAULT=3\nLANG0_NAME=First\nLANG0_FOLDER=one\nLANG0_SHOW=1\nLANG0_NAME="
            "Second\n"
            "LANG0_FOLDER=two\nDEFAULT=0\nLANG1_SHOW=1\nLANG1_NAME=N\nLANG1_FOLDER=g\nLANG1_SHOW="
            "0\n",
            "/Lang/two/VqTintwell.qm", {"Second"});
        row("only the LANG_MGR section counts, an unclosed bracket is no header",
            "DEFAULT=2\nLANG0_NAME=A\nLANG0_FOLDER=a\nLANG0_SHOW=1\n[Other]\nDEFAULT=1\nLANG1_"
            "FOLDER=b\n"
            "LANG1_SHOW=1\n[LANG_MGR]\nLANG2_NAME=C\nLANG2_FOLDER=c\n[Other\n[X=1\n[ LANG_MGR ]\n"
            "LANG3_FOLDER=d\nLANG3_SHOW=1\n[lang_mgr]\nLANG4_FOLDER=e\nLANG4_SHOW=1\n[LANG_MGR]"
            "\nLANG2_SHOW=1\n",
            "", {"C"});
        row("keys are case-sensitive and matched whole",
            "[LANG_MGR]\nDefault=1\nlang0_NAME=a\nLANG0_name=a\nLANG0_NAMES=a\nXLANG0_NAME="
            "a\nLANGx_NAME=a\n"
            "LANG_NAME=a\nLANG0_FOLDER=f\nLANG0_SHOW=1\n",
            "/Lang/f/VqTintwell.qm", {});
        row("SHOW must be the number 1",
            "[LANG_MGR]\nLANG0_NAME=a\nLANG0_FOLDER=a\nLANG0_SHOW=2\nLANG1_NAME=b\nLANG1_FOLDER=b\n"
            "LANG1_SHOW=true\nLANG2_NAME=c\nLANG2_FOLDER=c\nLANG2_SHOW=01\nLANG3_NAME=d\nLANG3_"
            "FOLDER=d\n"
            "LANG3_SHOW=\n",
            "", {"c"});
        row("ID neither renumbers nor makes a usable language on its own",
            "[LANG_MGR]\nDEFAULT=5\nLANG5_ID=3\nLANG3_ID=5\nLANG3_NAME=Three\nLANG3_FOLDER="
            "t\nLANG3_SHOW=1\n",
            "", {"Three"});
        row("offered only with name and folder; a file needs the folder alone",
            "[LANG_MGR]\nDEFAULT=1\nLANG0_NAME=NoFolder\nLANG0_SHOW=1\nLANG1_FOLDER="
            "nameless\nLANG1_SHOW=1\n",
            "/Lang/nameless/VqTintwell.qm", {});
        row("the folder's own %1 takes the file name: filled one argument after the other",
            "[LANG_MGR]\nLANG0_FOLDER=a%1b\nLANG0_SHOW=1\n", "/Lang/aVqTintwell.qmb/%3", {});
        row("DEFAULT signed", "[LANG_MGR]\nDEFAULT=-3\nLANG0_FOLDER=zero\nLANG0_SHOW=1\n", "", {});
        row("DEFAULT decimal with leading zeros",
            "[LANG_MGR]\nDEFAULT=010\nLANG8_FOLDER=eight\nLANG8_SHOW=1\nLANG10_FOLDER=ten\nLANG10_"
            "SHOW=1\n",
            "/Lang/ten/VqTintwell.qm", {});
        row("DEFAULT that is no number counts as 0",
            "[LANG_MGR]\nDEFAULT=7\nDEFAULT=0x7\nLANG0_FOLDER=zero\nLANG0_SHOW=1\nLANG7_FOLDER="
            "x\nLANG7_SHOW=1\n",
            "/Lang/zero/VqTintwell.qm", {});
        // The same catalogue in each encoding a host may use. The mark comes
        // right before the header, which a mark read as text would spoil.
        const QString both = QString::fromUtf8(Both);
        const QStringList names{"简体中文", "繁體中文"};
        const QString cht = "/Lang/cht/VqTintwell.qm";
        QTest::newRow("UTF-8 with mark") << encode("UTF-8", both, "\xEF\xBB\xBF") << cht << names;
        QTest::newRow("UTF-16LE with mark, CR LF")
            << encode("UTF-16LE", QString(both).replace("\n", "\r\n"), "\xFF\xFE") << cht << names;
        QTest::newRow("UTF-16LE with the mark twice")
            << encode("UTF-16LE", both, "\xFF\xFE\xFF\xFE") << cht << names;
        QTest::newRow("GB2312 without mark") << encode("GB2312", both) << cht << names;
        QTest::newRow("UTF-8 with the mark twice")
            << encode("UTF-8", both, "\xEF\xBB\xBF\xEF\xBB\xBF") << QString() << QStringList();
        QTest::newRow("UTF-16BE reads as GB2312")
            << encode("UTF-16BE", both, "\xFE\xFF") << QString() << QStringList();
        QTest::newRow("UTF-16LE mark alone")
            << QByteArray("\xFF\xFE") << QString() << QStringList();
    }

    void catalogue()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, file);
        QFETCH(QStringList, offered);
        CTranslatorMgr manager;
        QVERIFY(writeFile("/Lang/Lang.ini",
                          "[LANG_MGR]\nLANG0_NAME=N\nLANG0_FOLDER=x\nLANG0_SHOW=1\n"));
        manager.loadLangIni();
        QVERIFY(writeFile("/Lang/Lang.ini", bytes));
        manager.loadLangIni();
        QCOMPARE(manager.qmFilePath(manager.defaultLangId()),
                 file.isEmpty() ? QString() : appDir() + file);
        QStringList names;
        const QList<LangInfo> languages = manager.visibleLangList();
        for (const LangInfo& info : languages)
            names << info.name;
        QCOMPARE(names, offered);
    }

    // Which file each SetHost loads, and which boxes it shows on the way,
    // in order. Test translation "a" says "A" for the title, "b" says "B".
    // Each starts from a loaded translator, so that a load that empties it
    // shows.
    void loading_data()
    {
        QTest::addColumn<QByteArray>("ini"); // empty: no catalogue at all
        QTest::addColumn<QString>("chs");    // the test translation in Lang/chs, if any
        QTest::addColumn<QString>("en");     // and in Lang/en
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("loaded"); // what the title translates to
        const QByteArray chooseEn = utf8("[LANG_MGR]\nDEFAULT=1\nLANG0_FOLDER=chs\nLANG0_SHOW="
                                         "1\nLANG1_FOLDER=en\nLANG1_SHOW=1\n");
        const QByteArray only0 = utf8("[LANG_MGR]\nLANG0_FOLDER=en\nLANG0_SHOW=1\n");
        const QString noIni = "Warning: Failed to open INI file:" + appDir() + "/Lang/Lang.ini";
        const QString failed =
            "Warning: Load translator file" + appDir() + "/Lang/%1/VqTintwell.qmfailed!";
        const QString notFound = "Error: Cannot find the \"%1\" file";
        const QStringList none;
        QTest::newRow("default language") << chooseEn << "b"
                                          << "a" << none << "A";
        QTest::newRow("no catalogue") << QByteArray() << "b"
                                      << "" << QStringList{noIni} << "B";
        QTest::newRow("no DEFAULT picks 0") << only0 << "b"
                                            << "a" << none << "A";
        QTest::newRow("DEFAULT names no language")
            << utf8("[LANG_MGR]\nDEFAULT=7\n") + only0.mid(3) << "b"
            << "a" << none << "B";
        QTest::newRow("hidden language")
            << utf8("[LANG_MGR]\nLANG0_FOLDER=en\nLANG0_SHOW=0\n") << "b"
            << "a" << none << "B";
        QTest::newRow("chosen file missing") << chooseEn << "b"
                                             << "" << none << "B";
        QTest::newRow("both files missing")
            << chooseEn << ""
            << ""
            << QStringList{notFound.arg(appDir() + "/Lang/en/VqTintwell.qm"), failed.arg("chs")}
            << "";
        QTest::newRow("nothing at all")
            << QByteArray() << ""
            << "" << QStringList{noIni, notFound.arg(""), failed.arg("chs")} << "";
        QTest::newRow("chosen file is no translation")
            << chooseEn << ""
            << "garbage" << QStringList{failed.arg("en")} << "";
    }

    void loading()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, chs);
        QFETCH(QString, en);
        QFETCH(QStringList, boxes);
        QFETCH(QString, loaded);
        QVERIFY(installQm("chs", "contexts") && writeFile("/Lang/Lang.ini", {}));
        QCOMPARE(handOverHost(), QStringList());
        QVERIFY(!title().isEmpty());
        QDir(appDir() + "/Lang").removeRecursively();

        QVERIFY(ini.isEmpty() || writeFile("/Lang/Lang.ini", ini));
        QVERIFY(chs.isEmpty() || installQm("chs", chs));
        QVERIFY(en.isEmpty() || installQm("en", en));
        QTranslator* const translator = CTranslatorMgr::instance()->translator();
        QCOMPARE(handOverHost(), boxes);
        QCOMPARE(title(), loaded);
        QCOMPARE(CTranslatorMgr::instance()->translator(), translator);
        // The plug-in's translator and the application's never answer for
        // each other.
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"), "B");
    }

    // The texts no picture shows are asked for under their own dialog's
    // name too: the window titles and the title-bar buttons' names for
    // screen readers. The test translation gives each text back with its
    // dialog's initials in front.
    void unseenTexts()
    {
        QVERIFY(installQm("chs", "contexts") && writeFile("/Lang/Lang.ini", {}));
        QCOMPARE(handOverHost(), QStringList());
        RecordingHost host;
        g_host = &host;
        const InkManagement ink(0);
        const InkRefillLog refills;
        g_host = nullptr;
        QStringList texts;
        for (const QDialog* dialog :
             {static_cast<const QDialog*>(&ink), static_cast<const QDialog*>(&refills)}) {
            auto* close = dialog->findChild<QObject*>("pushButton_close_2");
            texts << dialog->windowTitle()
                  << QAccessible::queryAccessibleInterface(close)->text(QAccessible::Name);
        }
        QCOMPARE(texts,
                 (QStringList{"IM:Ink Management", "IM:Close", "IRL:Ink Refill Log", "IRL:Close"}));
    }

private:
    QTranslator m_hostTranslation;
};

QTEST_MAIN(TestTranslator)
#include "tst_translator.moc"
