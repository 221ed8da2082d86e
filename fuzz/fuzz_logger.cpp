// SPDX-License-Identifier: MIT
// What the activity logger finds in its directory when it starts: file names,
// sizes and modification times decoded from the input into a fresh directory,
// then the logger's start-up (clean-up by age, choice of the file to continue)
// and one line written.
//
// Input layout (missing bytes read as 0):
//   byte 0   bits 0-2 the retention in days (from a table), bit 3 the log
//            directory does not exist yet, bit 4 a plain file stands where the
//            directory should be, bits 5-7 the file prefix (from a table)
//   then entries, at most MaxEntries, each:
//     byte     bits 0-1 kind (file, file, directory, symbolic link),
//              bit 2 leading dot, bits 3-7 which prefix, or a raw name
//     bytes    name parts (see makeName)
//     byte     size (from a table; at and around the 200 MiB limit the files
//              are sparse)
//     2 bytes  age in hours (int16; negative is in the future), 0 keeps the
//              time of creation
//     byte     for a link: the entry it points at (an earlier one, or none)
//
// The logger must recognise exactly its own names, remove exactly its own
// files older than the retention, and continue the highest-numbered of the
// rest when it is below the limit, else number 1.
#include "fuzzapp.h"

#include "log/dynamicliblogger.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 Limit = 209715200;
constexpr int MaxEntries = 24;
const int Retentions[] = {365, 1, 0, -1, 30, 2, INT_MAX, INT_MIN};
const char* const Prefixes[] = {"Activity", "Activity", "Activity", "Activity", "a.b", "x+(?", "", "Log\\d"};
const qint64 Sizes[] = {0, 1, 4, 100, 4096, Limit - 1, Limit, Limit + 1};

class Input
{
public:
    Input(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int16_t int16()
    {
        const uint16_t low = byte();
        return static_cast<int16_t>(low | uint16_t(byte()) << 8);
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A name made of the logger's own kind of parts, some of them bent, or of raw
// bytes. Never "/", NUL, "." or "..".
//   byte  digits: bits 0-3 how many (up to 12, so that numbers beyond 32 bits
//         and leading zeros come up), bit 7 a non-ASCII digit after them
//   bytes one per digit
//   byte  the suffix (from a table)
// or, for raw names, a length byte and that many bytes.
std::string makeName(Input& input, uint8_t head, const std::string& prefix)
{
    static const char* const Bent[] = {nullptr, nullptr,    nullptr, "activity", "Activit", "ActivityActivity",
                                       "",      "Activity "};
    static const char* const Suffixes[] = {".log", ".log", ".log", ".LOG", ".log.bak", ".txt", "", ".log\n"};
    std::string name = (head & 4) ? "." : "";
    const unsigned form = head >> 3;
    if (form >= 28) {
        const int length = 1 + input.byte() % 40;
        for (int i = 0; i < length; ++i) {
            const char c = static_cast<char>(input.byte());
            name += (c == '/' || c == '\0') ? '_' : c;
        }
        if (name == "." || name == "..")
            name += 'x';
        return name;
    }
    const char* bent = Bent[form % 8];
    name += bent ? bent : prefix;
    const uint8_t digits = input.byte();
    const int count = (digits & 15) % 13;
    for (int i = 0; i < count; ++i)
        name += static_cast<char>('0' + input.byte() % 10);
    if (digits & 0x80)
        name += "\xd9\xa3"; // ARABIC-INDIC DIGIT THREE: a digit, but not an ASCII one
    name += Suffixes[input.byte() % 8];
    return name;
}

int removeTree(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? 0 : -1;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* dir = ::opendir(path.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    removeTree(path + '/' + name);
            }
            ::closedir(dir);
        }
        return ::rmdir(path.c_str());
    }
    return ::unlink(path.c_str());
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The number of one of the logger's own names, -1 for any other: an optional
// dot, the prefix literally, ASCII digits, ".log", and nothing else.
int ownNumber(const std::string& name, const std::string& prefix)
{
    size_t pos = (!name.empty() && name[0] == '.') ? 1 : 0;
    if (name.compare(pos, prefix.size(), prefix) != 0)
        return -1;
    pos += prefix.size();
    const size_t digitsStart = pos;
    while (pos < name.size() && name[pos] >= '0' && name[pos] <= '9')
        ++pos;
    if (pos == digitsStart || name.compare(pos, std::string::npos, ".log") != 0)
        return -1;
    const std::string digits = name.substr(digitsStart, pos - digitsStart);
    errno = 0;
    const long long value = std::strtoll(digits.c_str(), nullptr, 10);
    return (errno == ERANGE || value > INT_MAX) ? 0 : static_cast<int>(value);
}

struct Listed
{
    std::string name;
    int number; // -1 for names that are not the logger's own
    qint64 size;
    bool expired;
};

std::string g_root;
// VQ_FUZZ_VERBOSE=1 tells what an input made of the directory, for reading a
// saved crash.
const bool g_verbose = qEnvironmentVariableIntValue("VQ_FUZZ_VERBOSE") != 0;

void removeRoot()
{
    if (!g_root.empty())
        removeTree(g_root);
}

QString str(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    (void)argc;
    FuzzApp::start((*argv)[0]);
    const QByteArray base = QDir::tempPath().toLocal8Bit() + "/vq_fuzz_logger.XXXXXX";
    std::vector<char> pattern(base.begin(), base.end());
    pattern.push_back('\0');
    FuzzApp::check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    g_root = pattern.data();
    std::atexit(removeRoot);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input input(data, size);
    const uint8_t flags = input.byte();
    const int retention = Retentions[flags & 7];
    const std::string prefix = Prefixes[flags >> 5];
    const std::string logDir = g_root + "/Log/Activity";
    FuzzApp::check(removeTree(g_root + "/Log") == 0, "cannot clear the last directory");
    FuzzApp::check(::mkdir((g_root + "/Log").c_str(), 0700) == 0, "mkdir Log");

    const time_t now = ::time(nullptr);
    std::vector<std::string> created;
    if (flags & 16) {
        const int fd = ::open(logDir.c_str(), O_WRONLY | O_CREAT, 0600);
        FuzzApp::check(fd >= 0, "cannot create the blocking file");
        ::close(fd);
    } else if (!(flags & 8)) {
        FuzzApp::check(::mkdir(logDir.c_str(), 0700) == 0, "mkdir Activity");
        for (int i = 0; i < MaxEntries && !input.atEnd(); ++i) {
            const uint8_t head = input.byte();
            const std::string name = makeName(input, head, prefix);
            const qint64 fileSize = Sizes[input.byte() % 8];
            const int16_t hours = input.int16();
            const uint8_t target = input.byte();
            const std::string path = logDir + '/' + name;
            if (name.size() > 255 || exists(path))
                continue;
            bool made = false;
            switch (head & 3) {
            case 0:
            case 1: {
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
                if (fd >= 0) {
                    made = ::ftruncate(fd, fileSize) == 0;
                    ::close(fd);
                }
                break;
            }
            case 2:
                made = ::mkdir(path.c_str(), 0700) == 0;
                break;
            case 3: {
                // Only ever inside the directory: the logger follows links.
                const std::string to = created.empty() || target >= created.size()
                    ? std::string("missing") + std::to_string(target)
                    : created[target];
                made = ::symlink(to.c_str(), path.c_str()) == 0;
                break;
            }
            }
            if (!made)
                continue;
            created.push_back(name);
            if (g_verbose)
                std::fprintf(stderr, "entry %d: %s \"%s\" size %lld, %d hours old\n", i,
                             (head & 3) == 2       ? "dir"
                                 : (head & 3) == 3 ? "link"
                                                   : "file",
                             QString::fromLocal8Bit(name.c_str()).toUtf8().toPercentEncoding(" .").constData(),
                             static_cast<long long>(fileSize), hours);
            if (hours != 0 && (head & 3) != 3) {
                const struct timespec times[2] = {{now, 0}, {now - time_t(hours) * 3600, 0}};
                ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
            }
        }
    }

    // What the logger should find, in the order it lists the directory.
    const QDateTime before = QDateTime::currentDateTime();
    std::vector<Listed> listed;
    const QFileInfoList entries = QDir(str(logDir)).entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const std::string name = QFile::encodeName(entry.fileName()).toStdString();
        const int number = ownNumber(name, prefix);
        const QDateTime modified = entry.lastModified();
        const bool expired = number >= 0 && retention > 0 && modified.isValid() && modified.daysTo(before) > retention;
        listed.push_back({name, number, entry.size(), expired});
    }

    // A second link to each own file, outside the directory, tells whether
    // the logger removed the name: a file it creates anew under the same name
    // is another file.
    const std::string links = g_root + "/Log/links";
    FuzzApp::check(::mkdir(links.c_str(), 0700) == 0, "mkdir links");
    for (size_t i = 0; i < listed.size(); ++i) {
        if (listed[i].number >= 0) {
            FuzzApp::check(::link((logDir + '/' + listed[i].name).c_str(), (links + '/' + std::to_string(i)).c_str())
                               == 0,
                           "cannot link an own file");
        }
    }

    DynamicLibLogger* logger = DynamicLibLogger::instance(str(logDir), str(prefix), retention);
    const bool sameDay = QDateTime::currentDateTime().date() == before.date();

    // Every name is checked on the raw bytes: a name that doesn't decode in
    // the local code page must still be left alone.
    for (const std::string& name : created) {
        const int number = ownNumber(name, prefix);
        if (number < 0)
            FuzzApp::check(exists(logDir + '/' + name), "a name that is not the logger's own was removed");
    }
    int best = 0;
    qint64 bestSize = 0;
    for (size_t i = 0; i < listed.size(); ++i) {
        const Listed& entry = listed[i];
        if (entry.number < 0)
            continue;
        struct stat st;
        FuzzApp::check(::lstat((links + '/' + std::to_string(i)).c_str(), &st) == 0, "lstat link");
        const bool kept = st.st_nlink > 1;
        if (sameDay) {
            FuzzApp::check(kept != entry.expired,
                           entry.expired ? "an expired own file was kept" : "an own file was removed before its time");
        }
        if (!entry.expired && entry.number > best) {
            best = entry.number;
            bestSize = entry.size;
        }
    }

    const QString current = logger->currentLogFilePath();
    if (g_verbose)
        std::fprintf(stderr, "retention %d, prefix \"%s\": started on %s\n", retention, prefix.c_str(),
                     qPrintable(current));
    const QString dir = QFileInfo(str(logDir)).absoluteFilePath();
    auto numbered = [&](int n) {
        return dir + QLatin1Char('/') + str(prefix) + QString::number(n) + QStringLiteral(".log");
    };
    if (flags & 16) {
        FuzzApp::check(current.isEmpty(), "a logger without its directory opened a file");
    } else if (sameDay) {
        const bool resumes = best >= 1 && bestSize < Limit;
        if (resumes && current == numbered(best)) {
            // Continued.
        } else {
            FuzzApp::check(current == numbered(1), "start-up chose neither the newest own file nor number 1");
            if (resumes) {
                // Only when the newest file could not be opened.
                QFile probe(numbered(best));
                FuzzApp::check(!probe.open(QIODevice::WriteOnly | QIODevice::Append),
                               "the newest own file below the limit was not continued");
            }
        }
    }

    // One line: it goes to the current file, or to the next number when the
    // current one has reached the limit.
    const QFileInfo currentInfo(current);
    const bool open = !current.isEmpty() && currentInfo.isFile();
    const qint64 sizeBefore = open ? currentInfo.size() : 0;
    logger->log(DynamicLibLogger::Info, QStringLiteral("fuzz"));
    const QString afterLine = logger->currentLogFilePath();
    if (open && sizeBefore >= Limit) {
        const int index = QFileInfo(current).completeBaseName().mid(prefix.size()).toInt();
        FuzzApp::check(afterLine == numbered(index + 1), "a full file did not move on to the next number");
    } else {
        FuzzApp::check(afterLine == current, "the logger moved to another file below the limit");
    }

    DynamicLibLogger::destroyInstance();
    return 0;
}
