// The library's dynamic symbol table must offer a host exactly the two
// factory functions, under their plain C names, and nothing else.
#include <QFile>
#include <QtTest>

#include <elf.h>

#include <cstring>

namespace {

// Names of the symbols the ELF shared object defines for dynamic linking.
QStringList definedDynamicSymbols(const QByteArray& image)
{
    QStringList names;
    if (image.size() < static_cast<int>(sizeof(Elf64_Ehdr)))
        return names;
    const char* base = image.constData();
    Elf64_Ehdr header;
    std::memcpy(&header, base, sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return names;

    auto section = [&](int index) {
        Elf64_Shdr shdr;
        std::memcpy(&shdr, base + header.e_shoff + static_cast<size_t>(index) * header.e_shentsize,
                    sizeof shdr);
        return shdr;
    };
    for (int i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr symbols = section(i);
        if (symbols.sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr strings = section(static_cast<int>(symbols.sh_link));
        const size_t count = symbols.sh_size / sizeof(Elf64_Sym);
        for (size_t s = 1; s < count; ++s) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, base + symbols.sh_offset + s * sizeof(Elf64_Sym), sizeof symbol);
            if (symbol.st_shndx == SHN_UNDEF)
                continue;
            const int binding = ELF64_ST_BIND(symbol.st_info);
            if (binding != STB_GLOBAL && binding != STB_WEAK)
                continue;
            names.append(QString::fromLatin1(base + strings.sh_offset + symbol.st_name));
        }
    }
    return names;
}

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheFactoryFunctionsAreExported()
    {
        QFile library(QStringLiteral(VQ_PLUGIN_PATH));
        QVERIFY2(library.open(QIODevice::ReadOnly), qPrintable(library.errorString()));
        QStringList names = definedDynamicSymbols(library.readAll());
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("NewInterface"), QStringLiteral("ReleaseInterface")}));
    }
};

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"
