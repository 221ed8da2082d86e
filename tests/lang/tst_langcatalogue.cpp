// Reading the host's language catalogue: which lines count, how languages and
// the default are taken from them, and which codec the file is read with.
#include "lang/ctranslatormgr.h"
#include "langfixture.h"

#include <QBuffer>
#include <QtTest>

using namespace LangFixture;

namespace {

// "default; visible; paths": the default language's number, "id|name|folder"
// of each visible language, then "id=folder" for each language number that
// has a translation path, folder being what the path holds between the
// application's Lang folder and the file name. A listed language must be
// shown and carry the path the manager gives for its number.
QString summary(const CTranslatorMgr& manager)
{
    QStringList visible, paths;
    const QList<LangInfo> languages = manager.visibleLangList();
    for (const LangInfo& info : languages) {
        const bool consistent = info.show && info.qmFile == manager.qmFilePath(info.id);
        visible.append(QStringLiteral("%1|%2|%3%4").arg(info.id).arg(info.name, info.folder,
                                                                     QLatin1String(consistent ? "" : "<bad>")));
    }
    for (int id = 0; id <= 10; ++id) {
        if (QString path = manager.qmFilePath(id); !path.isEmpty())
            paths.append(QStringLiteral("%1=%2").arg(id).arg(
                path.remove(langDir() + QLatin1Char('/')).remove(QLatin1Char('/') + g_qmFileName)));
    }
    return QStringLiteral("%1; %2; %3")
        .arg(manager.defaultLangId())
        .arg(visible.join(QLatin1Char(',')), paths.join(QLatin1Char(',')));
}

const QString BothLanguages = QStringLiteral("[LANG_MGR]\nDEFAULT=1\nLANG0_ID=0\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\n"
                                             "LANG0_SHOW=1\nLANG1_NAME=繁體中文\nLANG1_FOLDER=cht\nLANG1_SHOW=1\n");

} // namespace

class TestLangCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { removeLangDir(); }

    void rules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // as summary() gives it
        auto row = [](const char* name, const char* ini, const char* expected) {
            QTest::newRow(name) << utf8WithMark(QString::fromUtf8(ini))
                                << QString::fromUtf8(expected);
        };

        row("comments, blanks and padding; a comment after a value belongs to it",
            "; c\n[LANG_MGR]\n\n   \n# LANG1_SHOW=1\n  ;LANG1_NAME=X\n\t LANG0_NAME  =  Name with blanks \t\n"
            "LANG0_FOLDER = en ; e\nLANG0_SHOW = 1\n", "0; 0|Name with blanks|en ; e; 0=en ; e");
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
            "LANG_NAME=a\nLANG0_FOLDER=f\nLANG0_SHOW=1\n", "0; ; 0=f");
        row("SHOW must be the number 1",
            "[LANG_MGR]\nLANG0_NAME=a\nLANG0_FOLDER=a\nLANG0_SHOW=2\nLANG1_NAME=b\nLANG1_FOLDER=b\nLANG1_SHOW=true\n"
            "LANG2_NAME=c\nLANG2_FOLDER=c\nLANG2_SHOW=01\nLANG3_NAME=d\nLANG3_FOLDER=d\nLANG3_SHOW=\n",
            "0; 2|c|c; 2=c");
        row("ID neither renumbers nor makes a usable language on its own",
            "[LANG_MGR]\nLANG5_ID=9\nLANG3_ID=8\nLANG3_NAME=Three\nLANG3_FOLDER=t\nLANG3_SHOW=1\n",
            "0; 3|Three|t; 3=t");
        row("listing needs name and folder, a path only the folder",
            "[LANG_MGR]\nLANG0_NAME=NoFolder\nLANG0_SHOW=1\nLANG1_FOLDER=nameless\nLANG1_SHOW=1\n",
            "0; ; 1=nameless");
        row("DEFAULT that is no number", "[LANG_MGR]\nDEFAULT=7\nDEFAULT=one\n", "0; ; ");
        row("empty file", "", "0; ; ");

        // The same catalogue in each encoding the host may use. The mark is
        // followed directly by the header, so a mark read as text would spoil
        // the first line and lose the whole section.
        const QString both = QStringLiteral("1; 0|简体中文|chs,1|繁體中文|cht; 0=chs,1=cht");
        const QByteArray utf16Mark("\xFF\xFE");
        QTest::newRow("UTF-8 with mark") << utf8WithMark(BothLanguages) << both;
        QTest::newRow("UTF-16LE with mark") << encode("UTF-16LE", BothLanguages, utf16Mark) << both;
        QTest::newRow("UTF-16LE with CR LF")
            << encode("UTF-16LE", QString(BothLanguages).replace(QLatin1Char('\n'), QLatin1String("\r\n")), utf16Mark)
            << both;
        QTest::newRow("GB2312 without mark") << encode("GB2312", BothLanguages) << both;
        // Only the little-endian mark means UTF-16; anything else is GB2312.
        QTest::newRow("UTF-16BE with mark reads as GB2312")
            << encode("UTF-16BE", BothLanguages, "\xFE\xFF") << QStringLiteral("0; ; ");
        QTest::newRow("UTF-8 without mark reads as GB2312")
            << encode("UTF-8", QStringLiteral("[LANG_MGR]\nDEFAULT=1\nLANG0_NAME=Plain\nLANG0_FOLDER=p\nLANG0_SHOW=1\n"))
            << QStringLiteral("1; 0|Plain|p; 0=p");
    }

    void rules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);

        QVERIFY(writeCatalogue(bytes));
        CTranslatorMgr manager;
        manager.loadLangIni();
        QCOMPARE(summary(manager), expected);
    }

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
        // The registry may hand out a codec under another of its names (GB2312
        // as GBK, say); what counts is that it is the one for the name.
        QCOMPARE(CTranslatorMgr::codecForDevice(&buffer), QTextCodec::codecForName(codec));
        // Choosing must not eat the mark: the reader decides what to skip.
        QCOMPARE(buffer.pos(), qint64(0));
    }

    // Queries answer empty until a reading; each reading starts afresh, and
    // one whose catalogue can't be opened leaves nothing at all.
    void readingAgainForgetsEarlierReading()
    {
        CTranslatorMgr manager;
        QCOMPARE(summary(manager), QStringLiteral("0; ; "));
        QVERIFY(writeCatalogue(utf8WithMark(BothLanguages)));
        manager.loadLangIni();
        QVERIFY(writeCatalogue(utf8WithMark(QStringLiteral("[LANG_MGR]\nDEFAULT=2\nLANG0_NAME=A\nLANG0_FOLDER=a\nLANG0_SHOW=1\n"))));
        manager.loadLangIni();
        QCOMPARE(summary(manager), QStringLiteral("2; 0|A|a; 0=a"));
        removeLangDir();
        BoxCatcher boxes;
        manager.loadLangIni();
        QCOMPARE(boxes.seen, QStringList{QStringLiteral("W|Warning|Failed to open INI file:") + langDir()
                                         + QStringLiteral("/Lang.ini")});
        QCOMPARE(summary(manager), QStringLiteral("0; ; "));
    }
};

QTEST_MAIN(TestLangCatalogue)
#include "tst_langcatalogue.moc"
