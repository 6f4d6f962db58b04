#include "platform/ShellAPI.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include "platform/Files.h"
#include "platform/TestHooks.h"

namespace {

struct ShellHooks {
    bool Record = false;
    bool Fail = false;
    std::vector<std::string> Log;
};

ShellHooks& Hooks()
{
    static ShellHooks h;
    return h;
}

// A desktop entry's value with its escapes (\s \n \t \r \\) read; other backslashes
// stay for Exec's quoting.
std::string UnescapeValue(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        // Anything else belongs to Exec's own quoting.
        default:
            out += '\\';
            out += value[i];
            break;
        }
    }
    return out;
}

// Exec's words: split at blanks outside double quotes; inside them a backslash keeps the
// character after it ("\"", "\`", "\$", "\\").
std::vector<std::string> ExecWords(const std::string& exec)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && i + 1 < exec.size())
                word += exec[++i];
            else
                word += c;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '"')
                quoted = true;
            else
                word += c;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// A word with its field codes made "%u" (files or addresses) or left out (the others).
std::string NormaliseFieldCodes(const std::string& word)
{
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%' || i + 1 == word.size()) {
            out += word[i];
            continue;
        }
        const char code = word[++i];
        if (code == '%')
            out += "%%";
        else if (code == 'f' || code == 'F' || code == 'u' || code == 'U')
            out += "%u";
    }
    return out;
}

// The program a word names: a path as it stands, else found on the PATH; empty when it
// is not an executable file.
std::string ProgramPath(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos) {
        const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(name)));
        return info.isFile() && info.isExecutable() ? name : std::string();
    }
    return QFile::encodeName(QStandardPaths::findExecutable(QFile::decodeName(QByteArray::fromStdString(name))))
        .toStdString();
}

// The folders desktop entries live in: the user's data folder first, then the system's.
std::vector<std::string> ApplicationFolders()
{
    std::vector<std::string> folders;
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    folders.push_back(home.isEmpty() ? QDir::homePath().toStdString() + "/.local/share" : home.toStdString());
    QByteArray dirs = qgetenv("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = "/usr/local/share:/usr/share";
    for (const QByteArray& d : dirs.split(':'))
        if (!d.isEmpty())
            folders.push_back(d.toStdString());
    for (std::string& f : folders)
        f += "/applications";
    return folders;
}

// The desktop entry of an application id: "vendor-app.desktop" may also live as
// "vendor/app.desktop".
std::string DesktopEntryPath(const std::string& id)
{
    if (id.empty() || id.find('/') != std::string::npos || id.find("..") != std::string::npos)
        return {};
    std::vector<std::string> names{id};
    for (size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
        std::string name = id;
        name[dash] = '/';
        names.push_back(name);
    }
    for (const std::string& folder : ApplicationFolders())
        for (const std::string& name : names)
            if (QFileInfo(QString::fromStdString(folder + "/" + name)).isFile())
                return folder + "/" + name;
    return {};
}

} // namespace

TAssociatedProgram ProgramOfDesktopEntry(const std::string& entryText)
{
    std::string exec, tryExec;
    bool inEntry = false, hidden = false;
    for (const QString& raw : QString::fromStdString(entryText).split(QLatin1Char('\n'))) {
        const std::string line = raw.trimmed().toStdString();
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const size_t eq = line.find('=');
        if (!inEntry || eq == std::string::npos)
            continue;
        const std::string key = QString::fromStdString(line.substr(0, eq)).trimmed().toStdString();
        const std::string value = QString::fromStdString(line.substr(eq + 1)).trimmed().toStdString();
        if (key == "Exec")
            exec = UnescapeValue(value);
        else if (key == "TryExec")
            tryExec = UnescapeValue(value);
        else if (key == "Hidden")
            hidden = value == "true";
    }
    TAssociatedProgram program;
    const std::vector<std::string> words = ExecWords(exec);
    if (hidden || words.empty() || (!tryExec.empty() && ProgramPath(tryExec).empty()))
        return program;
    program.Program = ProgramPath(words[0]);
    if (program.Program.empty())
        return program;
    for (size_t i = 1; i < words.size(); ++i)
        if (std::string word = NormaliseFieldCodes(words[i]); !word.empty())
            program.Arguments.push_back(word);
    return program;
}

TAssociatedProgram FindAssociatedProgram(const std::string& mimeType)
{
    QProcess query;
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QString::fromStdString(mimeType)});
    if (!query.waitForStarted(5000))
        return {};
    if (!query.waitForFinished(10000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    // One id, or a list of them: the first one the desktop has counts.
    const QString answer = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    for (const QString& id : answer.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const std::string path = DesktopEntryPath(id.trimmed().toStdString());
        if (path.empty())
            continue;
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        TAssociatedProgram program = ProgramOfDesktopEntry(file.readAll().toStdString());
        if (!program.Program.empty())
            return program;
    }
    return {};
}

bool ShellExecuteProgram(const TAssociatedProgram& program, const std::string& address)
{
    auto& h = Hooks();
    if (h.Record || h.Fail) {
        h.Log.push_back(address);
        return !h.Fail;
    }
    if (program.Program.empty() || address.empty())
        return false;
    QStringList arguments;
    bool placed = false;
    for (const std::string& word : program.Arguments) {
        QString argument;
        const QString w = QString::fromStdString(word);
        for (int i = 0; i < w.size(); ++i) {
            if (w[i] == QLatin1Char('%') && i + 1 < w.size() && w[i + 1] == QLatin1Char('u')) {
                argument += QString::fromStdString(address);
                placed = true;
                ++i;
            } else if (w[i] == QLatin1Char('%') && i + 1 < w.size() && w[i + 1] == QLatin1Char('%')) {
                argument += QLatin1Char('%');
                ++i;
            } else {
                argument += w[i];
            }
        }
        arguments << argument;
    }
    if (!placed)
        arguments << QString::fromStdString(address);
    QProcess process;
    process.setProgram(QFile::decodeName(QByteArray::fromStdString(program.Program)));
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

std::string FileUrlOf(const std::string& path)
{
    const QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(ExpandFileName(path))));
    return url.toEncoded(QUrl::FullyEncoded).toStdString();
}

namespace TestHooks {

void RecordShellLaunches(bool on) { Hooks().Record = on; }
void FailShellLaunch(bool on) { Hooks().Fail = on; }
const std::vector<std::string>& ShellLaunchLog() { return Hooks().Log; }

void ResetShellHooks()
{
    auto& h = Hooks();
    h.Record = false;
    h.Fail = false;
    h.Log.clear();
}

const TResetStep ResetShell(ResetShellHooks);

} // namespace TestHooks
