// Reading the host's language catalogue: which lines count, how languages and
// the default are taken from them, and which codec the file is read with.
#include "lang/ctranslatormgr.h"
#include "langfixture.h"

#include <QBuffer>
#include <QtTest>

using namespace LangFixture;

namespace {

// "id|name|folder" of each visible language, comma-separated.
QString visibleSummary(const CTranslatorMgr& manager)
{
    QStringList parts;
    const QList<LangInfo> languages = manager.visibleLangList();
    for (const LangInfo& info : languages)
        parts.append(QStringLiteral("%1|%2|%3").arg(info.id).arg(info.name, info.folder));
    return parts.join(QLatin1Char(','));
}

// "id=folder" for each language number of 'ids': the folder part of its
// translation path, empty when the manager gives no path.
QString pathSummary(const CTranslatorMgr& manager, const QList<int>& ids)
{
    QStringList parts;
    const QString prefix = langDir() + QLatin1Char('/');
    const QString suffix = QLatin1Char('/') + g_qmFileName;
    for (int id : ids) {
        QString path = manager.qmFilePath(id);
        if (!path.isEmpty()) {
            if (!path.startsWith(prefix) || !path.endsWith(suffix))
                path = QStringLiteral("<bad:%1>").arg(path);
            else
                path = path.mid(prefix.size(), path.size() - prefix.size() - suffix.size());
        }
        parts.append(QStringLiteral("%1=%2").arg(id).arg(path));
    }
    return parts.join(QLatin1Char(','));
}

const QString BothLanguages = QStringLiteral(
    "[LANG_MGR]\n"
    "DEFAULT=1\n"
    "LANG0_ID=0\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\nLANG0_SHOW=1\n"
    "LANG1_ID=1\nLANG1_NAME=English\nLANG1_FOLDER=en\nLANG1_SHOW=1\n");

} // namespace

class TestLangCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { removeLangDir(); }

    void rules_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<int>("defaultId");
        QTest::addColumn<QString>("visible");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QString>("paths");

        QTest::newRow("two languages") << BothLanguages << 1
            << QStringLiteral("0|简体中文|chs,1|English|en") << QList<int>{0, 1, 2}
            << QStringLiteral("0=chs,1=en,2=");

        QTest::newRow("comments, blanks and padding")
            << QStringLiteral("; leading comment\n[LANG_MGR]\n\n   \n# LANG1_SHOW=1\n"
                              "  ;LANG1_NAME=X\n\t LANG0_NAME  =  Name with blanks \t\n"
                              "LANG0_FOLDER = f\nLANG0_SHOW = 1\n")
            << 0 << QStringLiteral("0|Name with blanks|f") << QList<int>{0, 1}
            << QStringLiteral("0=f,1=");

        QTest::newRow("comment after a value is part of it")
            << QStringLiteral("[LANG_MGR]\nLANG0_NAME=A\nLANG0_FOLDER=en ; english\nLANG0_SHOW=1\n")
            << 0 << QStringLiteral("0|A|en ; english") << QList<int>{0}
            << QStringLiteral("0=en ; english");

        QTest::newRow("value keeps later equals signs, lines without a key are skipped")
            << QStringLiteral("[LANG_MGR]\nLANG0_NAME=a=b\n=LANG0_FOLDER\nLANG0_FOLDER\n"
                              "LANG0_FOLDER=x=y\nLANG0_SHOW=1\n=DEFAULT=3\n")
            << 0 << QStringLiteral("0|a=b|x=y") << QList<int>{0} << QStringLiteral("0=x=y");

        QTest::newRow("leading zeros name one language")
            << QStringLiteral("[LANG_MGR]\nLANG007_NAME=Seven\nLANG7_FOLDER=f7\nLANG0007_SHOW=1\n")
            << 0 << QStringLiteral("7|Seven|f7") << QList<int>{7} << QStringLiteral("7=f7");

        QTest::newRow("number too large counts as 0")
            << QStringLiteral("[LANG_MGR]\nLANG99999999999_NAME=Big\nLANG99999999999_FOLDER=big\n"
                              "LANG99999999999_SHOW=1\n")
            << 0 << QStringLiteral("0|Big|big") << QList<int>{0} << QStringLiteral("0=big");

        QTest::newRow("later lines replace earlier ones")
            << QStringLiteral("[LANG_MGR]\nDEFAULT=3\nLANG0_NAME=First\nLANG0_FOLDER=one\nLANG0_SHOW=1\n"
                              "LANG0_NAME=Second\nLANG0_FOLDER=two\nDEFAULT=2\n"
                              "LANG1_SHOW=1\nLANG1_NAME=N\nLANG1_FOLDER=g\nLANG1_SHOW=0\n")
            << 2 << QStringLiteral("0|Second|two") << QList<int>{0, 1}
            << QStringLiteral("0=two,1=");

        QTest::newRow("languages listed in ascending number")
            << QStringLiteral("[LANG_MGR]\nLANG10_NAME=Ten\nLANG10_FOLDER=t\nLANG10_SHOW=1\n"
                              "LANG2_NAME=Two\nLANG2_FOLDER=w\nLANG2_SHOW=1\n")
            << 0 << QStringLiteral("2|Two|w,10|Ten|t") << QList<int>{2, 10}
            << QStringLiteral("2=w,10=t");

        QTest::newRow("only the LANG_MGR section counts")
            << QStringLiteral("DEFAULT=5\nLANG0_NAME=A\nLANG0_FOLDER=a\nLANG0_SHOW=1\n"
                              "[Other]\nDEFAULT=6\nLANG1_NAME=B\nLANG1_FOLDER=b\nLANG1_SHOW=1\n"
                              "[LANG_MGR]\nLANG2_NAME=C\nLANG2_FOLDER=c\n"
                              "[ LANG_MGR ]\nLANG3_NAME=D\nLANG3_FOLDER=d\nLANG3_SHOW=1\n"
                              "[lang_mgr]\nLANG4_NAME=E\nLANG4_FOLDER=e\nLANG4_SHOW=1\n"
                              "[LANG_MGR]\nLANG2_SHOW=1\n")
            << 0 << QStringLiteral("2|C|c") << QList<int>{0, 1, 2, 3, 4}
            << QStringLiteral("0=,1=,2=c,3=,4=");

        QTest::newRow("unclosed bracket is a key line, not a header")
            << QStringLiteral("[LANG_MGR]\n[Other\n[X=1\nLANG0_NAME=A\nLANG0_FOLDER=a\nLANG0_SHOW=1\n")
            << 0 << QStringLiteral("0|A|a") << QList<int>{0} << QStringLiteral("0=a");

        QTest::newRow("keys are case-sensitive and matched whole")
            << QStringLiteral("[LANG_MGR]\nDefault=1\nlang0_NAME=a\nLANG0_name=a\nLANG0_NAMES=a\n"
                              "XLANG0_NAME=a\nLANGx_NAME=a\nLANG_NAME=a\nLANG0_FOLDER=f\nLANG0_SHOW=1\n")
            << 0 << QString() << QList<int>{0} << QStringLiteral("0=f");

        QTest::newRow("SHOW must be the number 1")
            << QStringLiteral("[LANG_MGR]\n"
                              "LANG0_NAME=a\nLANG0_FOLDER=a\nLANG0_SHOW=2\n"
                              "LANG1_NAME=b\nLANG1_FOLDER=b\nLANG1_SHOW=true\n"
                              "LANG2_NAME=c\nLANG2_FOLDER=c\nLANG2_SHOW=01\n"
                              "LANG3_NAME=d\nLANG3_FOLDER=d\nLANG3_SHOW=\n")
            << 0 << QStringLiteral("2|c|c") << QList<int>{0, 1, 2, 3}
            << QStringLiteral("0=,1=,2=c,3=");

        QTest::newRow("ID alone makes a language that is neither shown nor loadable")
            << QStringLiteral("[LANG_MGR]\nLANG5_ID=9\n") << 0 << QString() << QList<int>{5, 9}
            << QStringLiteral("5=,9=");

        QTest::newRow("ID value does not renumber")
            << QStringLiteral("[LANG_MGR]\nLANG3_ID=8\nLANG3_NAME=Three\nLANG3_FOLDER=t\nLANG3_SHOW=1\n")
            << 0 << QStringLiteral("3|Three|t") << QList<int>{3, 8} << QStringLiteral("3=t,8=");

        QTest::newRow("listing needs name and folder, path needs folder")
            << QStringLiteral("[LANG_MGR]\nLANG0_NAME=NoFolder\nLANG0_SHOW=1\n"
                              "LANG1_FOLDER=nameless\nLANG1_SHOW=1\n")
            << 0 << QString() << QList<int>{0, 1} << QStringLiteral("0=,1=nameless");

        QTest::newRow("DEFAULT that is no number")
            << QStringLiteral("[LANG_MGR]\nDEFAULT=7\nDEFAULT=one\n") << 0 << QString()
            << QList<int>{} << QString();


        QTest::newRow("empty file") << QString() << 0 << QString() << QList<int>{0}
            << QStringLiteral("0=");
    }

    void rules()
    {
        QFETCH(QString, ini);
        QFETCH(int, defaultId);
        QFETCH(QString, visible);
        QFETCH(QList<int>, ids);
        QFETCH(QString, paths);

        QVERIFY(writeCatalogue(utf8WithMark(ini)));
        CTranslatorMgr manager;
        manager.loadLangIni();
        QCOMPARE(manager.defaultLangId(), defaultId);
        QCOMPARE(visibleSummary(manager), visible);
        QCOMPARE(pathSummary(manager, ids), paths);
    }

    void translationPathIsAbsoluteUnderTheApplication()
    {
        QVERIFY(writeCatalogue(utf8WithMark(BothLanguages)));
        CTranslatorMgr manager;
        manager.loadLangIni();
        QCOMPARE(manager.qmFilePath(1), appDir() + QStringLiteral("/Lang/en/VqTintwell.qm"));
        const QList<LangInfo> languages = manager.visibleLangList();
        QCOMPARE(languages.size(), 2);
        QCOMPARE(languages.at(0).qmFile, appDir() + QStringLiteral("/Lang/chs/VqTintwell.qm"));
        QVERIFY(languages.at(0).show);
    }

    // The same catalogue, written in each encoding the host may use, must
    // give the same languages.
    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("visible");

        const QString text = QStringLiteral(
            "[LANG_MGR]\nDEFAULT=1\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\nLANG0_SHOW=1\n"
            "LANG1_NAME=繁體中文\nLANG1_FOLDER=cht\nLANG1_SHOW=1\n");
        const QString expected = QStringLiteral("0|简体中文|chs,1|繁體中文|cht");
        // The mark is followed directly by the header, so a mark read as text
        // would spoil the first line and lose the whole section.
        QTest::newRow("UTF-16LE with mark")
            << encode("UTF-16LE", text, QByteArrayLiteral("\xFF\xFE")) << expected;
        QTest::newRow("UTF-8 with mark") << utf8WithMark(text) << expected;
        QTest::newRow("GB2312 without mark") << encode("GB2312", text) << expected;
        QTest::newRow("UTF-16LE with CR LF")
            << encode("UTF-16LE", QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")),
                      QByteArrayLiteral("\xFF\xFE"))
            << expected;
        // Only the little-endian mark means UTF-16; anything else is GB2312.
        QTest::newRow("UTF-16BE with mark reads as GB2312")
            << encode("UTF-16BE", text, QByteArrayLiteral("\xFE\xFF")) << QString();
        QTest::newRow("UTF-8 without mark reads as GB2312")
            << encode("UTF-8", QStringLiteral("[LANG_MGR]\nDEFAULT=1\nLANG0_NAME=Plain\nLANG0_FOLDER=p\nLANG0_SHOW=1\n"))
            << QStringLiteral("0|Plain|p");
    }

    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, visible);

        QVERIFY(!bytes.isEmpty());
        QVERIFY(writeCatalogue(bytes));
        CTranslatorMgr manager;
        manager.loadLangIni();
        QCOMPARE(visibleSummary(manager), visible);
        if (!visible.isEmpty())
            QCOMPARE(manager.defaultLangId(), 1);
    }

    void codecForDevice_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("codec");

        QTest::newRow("empty") << QByteArray() << QByteArray("GB2312");
        QTest::newRow("single FF") << QByteArray("\xFF") << QByteArray("GB2312");
        QTest::newRow("FF FE only") << QByteArray("\xFF\xFE") << QByteArray("UTF-16LE");
        QTest::newRow("FF FE text") << QByteArray("\xFF\xFE[\0", 4) << QByteArray("UTF-16LE");
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF[L") << QByteArray("UTF-8");
        QTest::newRow("UTF-8 mark cut short") << QByteArray("\xEF\xBB") << QByteArray("GB2312");
        QTest::newRow("FE FF") << QByteArray("\xFE\xFF\0[", 4) << QByteArray("GB2312");
        QTest::newRow("plain text") << QByteArray("[LANG_MGR]") << QByteArray("GB2312");
    }

    void codecForDevice()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, codec);

        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QTextCodec* chosen = CTranslatorMgr::codecForDevice(&buffer);
        QVERIFY(chosen);
        // The registry may hand out a codec under another of its names
        // (GB2312 as GBK, say); what counts is that it is the one for the name.
        QCOMPARE(chosen, QTextCodec::codecForName(codec));
        // Choosing must not eat the mark: the reader decides what to skip.
        QCOMPARE(buffer.pos(), qint64(0));
        QCOMPARE(buffer.readAll(), bytes);
    }

    void queriesAnswerEmptyWhileNotRead()
    {
        CTranslatorMgr manager;
        QCOMPARE(manager.defaultLangId(), 0);
        QVERIFY(manager.visibleLangList().isEmpty());
        QVERIFY(manager.qmFilePath(0).isEmpty());
    }

    // A catalogue that can no longer be opened forgets what an earlier
    // reading found.
    void unreadableCatalogueForgetsEarlierReading()
    {
        QVERIFY(writeCatalogue(utf8WithMark(BothLanguages)));
        CTranslatorMgr manager;
        manager.loadLangIni();
        QCOMPARE(manager.defaultLangId(), 1);

        removeLangDir();
        BoxCatcher boxes;
        manager.loadLangIni();
        QCOMPARE(boxes.summaries(),
                 QStringList{QStringLiteral("W|Warning|Failed to open INI file:") + langDir()
                             + QStringLiteral("/Lang.ini")});
        QCOMPARE(manager.defaultLangId(), 0);
        QVERIFY(manager.visibleLangList().isEmpty());
        QVERIFY(manager.qmFilePath(1).isEmpty());
    }
};

QTEST_MAIN(TestLangCatalogue)
#include "tst_langcatalogue.moc"
