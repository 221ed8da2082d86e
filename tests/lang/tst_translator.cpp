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
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTextCodec>
#include <QtTest>

namespace {

const auto appDir = [] { return QCoreApplication::applicationDirPath(); };

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
    return mark + QTextCodec::codecForName(codec)->fromUnicode(text.constData(), text.size(), &state);
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
        const auto icon = box->windowTitle() == "Error" ? QMessageBox::Critical : QMessageBox::Warning;
        const bool wellFormed =
            !box->parentWidget() && box->standardButtons() == QMessageBox::Ok && box->icon() == icon;
        boxes << (wellFormed ? box->windowTitle() + ": " + box->text() : "malformed");
        box->done(QMessageBox::Ok);
    });
    timer.start(2);
    if (!tintwell.SetHost(&host))
        boxes << "SetHost failed";
    return boxes;
}

// A catalogue (empty: none at all), the test translations in Lang/chs and
// Lang/en, if any, the boxes a SetHost shows and what the title then
// translates to.
struct Loading
{
    QByteArray ini;
    QString chs, en;
    QStringList boxes;
    QString loaded;
};

const char* const Both = "[LANG_MGR]\nDEFAULT=1\nLANG0_ID=0\nLANG0_NAME=简体中文\nLANG0_FOLDER=chs\n"
                         "LANG0_SHOW=1\nLANG1_NAME=繁體中文\nLANG1_FOLDER=cht\nLANG1_SHOW=1\n";

} // namespace

Q_DECLARE_METATYPE(Loading)

class TestTranslator : public QObject
{
    Q_OBJECT

private slots:
    // The host's own translation, which must never answer for the plug-in.
    void initTestCase()
    {
        QVERIFY(m_hostTranslation.load(QStringLiteral(VQ_LANG_TEST_DATA "/b.qm")));
        QVERIFY(QCoreApplication::installTranslator(&m_hostTranslation));
    }

    void init() { QDir(appDir() + "/Lang").removeRecursively(); }

    // The translation file a catalogue names for its default language,
    // relative to the application directory; empty when it names none.
    void catalogue_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("file");
        // Catalogues as a host writes them, each saying in its first line
        // which file it names, or "none".
        const QDir cases(VQ_CATALOGUES);
        for (const QString& name : cases.entryList({"*.ini"})) {
            QFile file(cases.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const QByteArray head = bytes.left(bytes.indexOf('\n'));
            const QString expected = head.mid(12, head.indexOf(" (") - 12);
            QTest::newRow(qPrintable(name)) << bytes << (expected == "none" ? "" : expected);
        }
        // Catalogues in the other encodings a host may use. A second mark
        // lies right before the header, which a mark read as text would spoil.
        const QString both = QString::fromUtf8(Both);
        QTest::newRow("UTF-16LE with the mark twice")
            << encode("UTF-16LE", both, "\xFF\xFE\xFF\xFE") << QString("/Lang/cht/VqTintwell.qm");
        QTest::newRow("GB2312 folder name")
            << encode("GB2312", "[LANG_MGR]\nLANG0_FOLDER=简体\nLANG0_SHOW=1\n") << QString("/Lang/简体/VqTintwell.qm");
        QTest::newRow("UTF-8 with the mark twice") << encode("UTF-8", both, "\xEF\xBB\xBF\xEF\xBB\xBF") << QString();
    }

    void catalogue()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, file);
        CTranslatorMgr manager;
        // Read after one that chose another language: a catalogue without a default chooses 0.
        QVERIFY(writeFile("/Lang/Lang.ini",
                          "[LANG_MGR]\nDEFAULT=1\nLANG0_FOLDER=x\nLANG0_SHOW=1\n"
                          "LANG1_FOLDER=y\nLANG1_SHOW=1\n"));
        manager.loadLangIni();
        QVERIFY(writeFile("/Lang/Lang.ini", bytes));
        manager.loadLangIni();
        QCOMPARE(manager.qmFilePath(manager.defaultLangId()), file.isEmpty() ? QString() : appDir() + file);
    }

    // Which file each SetHost loads, and which boxes it shows on the way,
    // in order. Test translation "a" says "A" for the title, "b" says "B".
    // Each starts from a loaded translator, so that a load that empties it
    // shows.
    void loading_data()
    {
        QTest::addColumn<Loading>("loading");
        // Catalogues in UTF-8 with its mark, as hosts write them.
        const QByteArray chooseEn = "\xEF\xBB\xBF[LANG_MGR]\nDEFAULT=1\nLANG0_FOLDER=chs\nLANG0_SHOW="
                                    "1\nLANG1_FOLDER=en\nLANG1_SHOW=1\n";
        const QString noIni = "Warning: Failed to open INI file:" + appDir() + "/Lang/Lang.ini";
        const QString failed = "Warning: Load translator file" + appDir() + "/Lang/%1/VqTintwell.qmfailed!";
        const QString notFound = "Error: Cannot find the \"%1\" file";
        QTest::newRow("default language") << Loading{chooseEn, "b", "a", {}, "A"};
        QTest::newRow("chosen file missing") << Loading{chooseEn, "b", "", {}, "B"};
        QTest::newRow("nothing at all") << Loading{{}, "", "", {noIni, notFound.arg(""), failed.arg("chs")}, ""};
        QTest::newRow("chosen file is no translation") << Loading{chooseEn, "", "garbage", {failed.arg("en")}, ""};
    }

    void loading()
    {
        QFETCH(Loading, loading);
        QVERIFY(installQm("chs", "contexts") && writeFile("/Lang/Lang.ini", {}));
        QCOMPARE(handOverHost(), QStringList());
        QVERIFY(!CTranslatorMgr::translate("InkManagement", "Ink Management").isEmpty());
        QDir(appDir() + "/Lang").removeRecursively();

        QVERIFY(loading.ini.isEmpty() || writeFile("/Lang/Lang.ini", loading.ini));
        QVERIFY(loading.chs.isEmpty() || installQm("chs", loading.chs));
        QVERIFY(loading.en.isEmpty() || installQm("en", loading.en));
        QCOMPARE(handOverHost(), loading.boxes);
        QCOMPARE(CTranslatorMgr::translate("InkManagement", "Ink Management"), loading.loaded);
        // The plug-in's translator and the application's never answer for
        // each other.
        QCOMPARE(QCoreApplication::translate("InkManagement", "Ink Management"), "B");
    }

    // Every text of both windows, the ones no picture shows too (window
    // titles, the note and "Unlimited", names of buttons, tables and columns
    // for screen readers), as the plug-in's own translator gives it: each
    // under its own dialog's name ("contexts" gives it back with the dialog's
    // initials in front), and empty where the translation has none. (That
    // the shipped translations have every text is the translations_current
    // check's.)
    void texts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("texts"); // joined by '|'
        QTest::newRow("contexts") << VQ_LANG_TEST_DATA "/contexts.qm"
                                  << "IM:Unlimited|IM:Ink Management|IM:Ink Management|IM:Ink Information:|IM:Ink|"
                                     "IM:Remaining|IM:Note: The current device has unlimited ink remaining!||"
                                     "IM:Close Ink Management|IM:Ink Refill Log|IM:Ink Refill Log|IM:Close|IM:Close|"
                                     "IM:Ink, IM:Remaining|IM:Ink|IM:Remaining|IRL:Ink Refill Log|IRL:Ink Refill Log|"
                                     "IRL:Time|IRL:Ink|IRL:Added||IRL:Close Ink Refill Log|IRL:OK|IRL:OK|"
                                     "IRL:Time, IRL:Ink, IRL:Added|IRL:Time|IRL:Ink|IRL:Added";
        QTest::newRow("none") << ""
                              << "|||||||||||||, ||||||||||||, , |||";
    }

    void texts()
    {
        QFETCH(QString, file);
        QFETCH(QString, texts);
        QCOMPARE(CTranslatorMgr::instance()->translator()->load(file), !file.isEmpty());
        RecordingHost host;
        host.limited = false;
        host.inkList.records = {inkRecord("Cyan", 1)};
        g_host = &host;
        InkManagement ink(0);
        InkRefillLog refills;
        g_host = nullptr;
        QStringList shown{ink.findChild<QTableWidget*>()->item(0, 1)->text()};
        for (QDialog* dialog : {static_cast<QDialog*>(&ink), static_cast<QDialog*>(&refills)}) {
            shown << dialog->windowTitle();
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                shown << label->text();
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                shown << button->text() << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
            // The table by its name, then its columns as a screen reader names them.
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(dialog->findChild<QTableWidget*>());
            shown << table->text(QAccessible::Name);
            for (int column = 0; column < table->tableInterface()->columnCount(); ++column)
                shown << table->tableInterface()->columnDescription(column);
        }
        QCOMPARE(shown.join('|'), texts);
    }

private:
    QTranslator m_hostTranslation;
};

QTEST_MAIN(TestTranslator)
#include "tst_translator.moc"
