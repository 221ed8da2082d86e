// SPDX-License-Identifier: MIT
// The host's language catalogue, Lang/Lang.ini under the application
// directory, is the host's file: the input is written there byte for byte,
// then the catalogue is read, the translation loaded and every query asked.
//
// The language folders hold what a host ships: the real Chinese and English
// translations, plus a file that is no translation and a directory in place
// of one, so that catalogues can point at each kind. Whether the fallback
// "chs" file exists depends on the input's length (present for an even
// length), so both ways through the choice of file are reached and a saved
// input still reproduces exactly.
#include "fuzzapp.h"

#include "lang/ctranslatormgr.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTranslator>

#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

struct SeenBox
{
    QMessageBox::Icon icon;
    QString text;
};

QString g_langDir;
QString g_fallback;
QByteArray g_chsQm;
QVector<SeenBox> g_boxes;

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setFallbackPresent(bool present)
{
    if (present == QFile::exists(g_fallback))
        return;
    if (present)
        FuzzApp::check(writeFile(g_fallback, g_chsQm), "cannot install the fallback translation");
    else
        QFile::remove(g_fallback);
}

void checkLanguages(const CTranslatorMgr& manager)
{
    const QList<LangInfo> languages = manager.visibleLangList();
    qint64 previous = qint64(INT_MIN) - 1;
    for (const LangInfo& info : languages) {
        FuzzApp::check(info.id > previous, "visible languages not in ascending, unique order");
        previous = info.id;
        FuzzApp::check(info.show && !info.name.isEmpty() && !info.folder.isEmpty(),
                       "a hidden or incomplete language is listed as visible");
        FuzzApp::check(info.qmFile == g_langDir + QLatin1Char('/') + info.folder + QLatin1Char('/') + g_qmFileName,
                       "translation path is not <appdir>/Lang/<folder>/VqTintwell.qm");
        FuzzApp::check(manager.qmFilePath(info.id) == info.qmFile, "qmFilePath disagrees with the visible list");
    }
    for (qint32 id : {INT_MIN, -1, 0, 1, INT_MAX, manager.defaultLangId()})
        (void)manager.qmFilePath(id);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    (void)argc;
    FuzzApp::start((*argv)[0]);

    g_langDir = QCoreApplication::applicationDirPath() + QStringLiteral("/Lang");
    g_fallback = g_langDir + QStringLiteral("/chs/") + g_qmFileName;
    QDir(g_langDir).removeRecursively();

    const QString shipped = QStringLiteral(VQ_FUZZ_SHIPPED_LANG_DIR);
    g_chsQm = readFile(shipped + QStringLiteral("/chs/") + g_qmFileName);
    const QByteArray enQm = readFile(shipped + QStringLiteral("/en/") + g_qmFileName);
    FuzzApp::check(!g_chsQm.isEmpty() && !enQm.isEmpty(),
                   "shipped translations not found; build VqTintwellTranslations");
    FuzzApp::check(writeFile(g_langDir + QStringLiteral("/en/") + g_qmFileName, enQm), "cannot install en");
    FuzzApp::check(writeFile(g_langDir + QStringLiteral("/bad/") + g_qmFileName,
                             QByteArrayLiteral("this is not a compiled translation")),
                   "cannot install bad");
    FuzzApp::check(QDir().mkpath(g_langDir + QStringLiteral("/dir/") + g_qmFileName), "cannot make dir");

    static FuzzApp::ModalCloser closer([](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        FuzzApp::check(box, "a modal window that is no message box");
        FuzzApp::check(!box->parentWidget(), "message box with a parent");
        g_boxes.append({box->icon(), box->text()});
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    FuzzApp::check(writeFile(g_langDir + QStringLiteral("/Lang.ini"), bytes), "cannot write Lang.ini");
    setFallbackPresent(size % 2 == 0);

    CTranslatorMgr* manager = CTranslatorMgr::instance();
    g_boxes.clear();
    manager->loadTranslator();
    checkLanguages(*manager);

    // The catalogue was there to open, so only the boxes of the translation
    // may show: "not found" when neither file exists, then "load failed".
    const QString chosen = manager->qmFilePath(manager->defaultLangId());
    const bool chosenExists = !chosen.isEmpty() && QFile::exists(chosen);
    const QString path = chosenExists ? chosen : g_fallback;
    const bool notFound = !chosenExists && !QFile::exists(g_fallback);
    QTranslator probe;
    const bool loadFails = !probe.load(path);

    int box = 0;
    if (notFound) {
        FuzzApp::check(g_boxes.size() > box && g_boxes[box].icon == QMessageBox::Critical
                           && g_boxes[box].text == QStringLiteral("Cannot find the \"%1\" file").arg(chosen),
                       "missing or wrong \"Cannot find\" box");
        ++box;
    }
    if (loadFails) {
        FuzzApp::check(g_boxes.size() > box && g_boxes[box].icon == QMessageBox::Warning
                           && g_boxes[box].text
                               == QStringLiteral("Load translator file") + path + QStringLiteral("failed!"),
                       "missing or wrong \"Load translator file\" box");
        ++box;
    }
    FuzzApp::check(g_boxes.size() == box, "unexpected message box");
    FuzzApp::check(manager->translator()->isEmpty() == probe.isEmpty(),
                   "translator holds something else than its file");

    // Texts as the dialogs ask for them; empty when nothing is loaded.
    const QString text = CTranslatorMgr::translate("InkManagement", "Close");
    FuzzApp::check(!loadFails || text.isEmpty(), "a text from a translation that failed to load");

    // Reading the catalogue alone, again: the same languages come out.
    const QList<LangInfo> before = manager->visibleLangList();
    const qint32 defaultBefore = manager->defaultLangId();
    manager->loadLangIni();
    const QList<LangInfo> after = manager->visibleLangList();
    FuzzApp::check(manager->defaultLangId() == defaultBefore && before.size() == after.size(),
                   "a second reading of the same catalogue differs");
    for (int i = 0; i < before.size(); ++i) {
        FuzzApp::check(before[i].id == after[i].id && before[i].name == after[i].name
                           && before[i].folder == after[i].folder && before[i].qmFile == after[i].qmFile,
                       "a second reading of the same catalogue differs");
    }
    return 0;
}
