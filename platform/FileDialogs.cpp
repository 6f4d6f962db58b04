#include <QApplication>
#include <QFileDialog>
#include <QPointer>

#include <algorithm>
#include <filesystem>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"

namespace {

struct DialogHooks {
    std::function<TestHooks::TFileDialogAnswer(const TestHooks::TFileDialogRequest&)> Answer;
    std::vector<TestHooks::TFileDialogRequest> Log;
};

DialogHooks& Hooks()
{
    static DialogHooks h;
    return h;
}

const TestHooks::TResetStep ResetFileDialogs([] {
    Hooks().Answer = nullptr;
    Hooks().Log.clear();
});

// A checked answer can be refused this many times before Execute gives up.
constexpr int MaxAttempts = 100;

std::string Trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The current directory, put back whatever happens.
class KeepCurrentDir {
public:
    KeepCurrentDir() { FDir = std::filesystem::current_path(FError); }
    ~KeepCurrentDir()
    {
        if (!FError)
            std::filesystem::current_path(FDir, FError);
    }
    KeepCurrentDir(const KeepCurrentDir&) = delete;
    KeepCurrentDir& operator=(const KeepCurrentDir&) = delete;
    std::string Dir() const { return FError ? std::string(".") : FDir.string(); }

private:
    std::filesystem::path FDir;
    std::error_code FError;
};

std::string Slashes(std::string s)
{
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

std::string Absolute(const std::string& name, const std::string& folder)
{
    std::string n = Slashes(name);
    if (n.empty() || n[0] != '/')
        n = folder + "/" + n;
    return ResolvePath(ExpandFileName(n));
}

QStringList QtFilters(const std::vector<TFileFilter>& filters)
{
    QStringList out;
    for (const TFileFilter& f : filters) {
        QStringList patterns;
        for (const std::string& p : f.Patterns) {
            // Patterns match ignoring case: offer the usual spellings.
            const QString q = ToQString(p);
            patterns << q << q.toLower() << q.toUpper();
        }
        patterns.removeDuplicates();
        if (patterns.isEmpty() || patterns.contains(QStringLiteral("*.*")))
            patterns = QStringList{QStringLiteral("*")};
        out << ToQString(f.Description).remove(QLatin1Char('(')).remove(QLatin1Char(')')) + QStringLiteral(" (") +
                   patterns.join(QLatin1Char(' ')) + QStringLiteral(")");
    }
    return out;
}

TestHooks::TFileDialogAnswer RunRealDialog(const TestHooks::TFileDialogRequest& r)
{
    TestHooks::TFileDialogAnswer answer;
    QWidget* parent = nullptr;
    if (Application && Application->ActiveForm())
        parent = Application->ActiveForm()->Widget();
    QPointer<QFileDialog> dialog = new QFileDialog(parent);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setWindowTitle(ToQString(r.Title));
    dialog->setAcceptMode(r.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(r.Options.Contains(ofAllowMultiSelect) && !r.Save ? QFileDialog::ExistingFiles
                                                                          : QFileDialog::AnyFile);
    dialog->setDirectory(ToQString(r.Folder));
    const QStringList filters = QtFilters(r.Filters);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        dialog->selectNameFilter(filters.value(r.FilterIndex - 1));
    }
    dialog->selectFile(ToQString(r.FileName));
    dialog->setModal(true);
    TestHooks::NotifyWindowShown(TestHooks::wkFileDialog);
    const int result = dialog->exec();
    if (!dialog)
        return answer;
    if (result == QDialog::Accepted) {
        answer.Accepted = true;
        for (const QString& f : dialog->selectedFiles())
            answer.Names.push_back(FromQString(f));
        answer.FilterIndex = static_cast<int>(filters.indexOf(dialog->selectedNameFilter())) + 1;
    }
    delete dialog.data();
    return answer;
}

} // namespace

std::vector<TFileFilter> ParseFileFilter(const std::string& filter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size()) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    std::vector<TFileFilter> out;
    for (size_t i = 0; i < parts.size(); i += 2) {
        TFileFilter f;
        f.Description = Trim(parts[i]);
        if (i + 1 < parts.size()) {
            std::string pattern;
            for (char c : parts[i + 1] + ";") {
                if (c == ';' || c == ',') {
                    pattern = Trim(pattern);
                    if (!pattern.empty())
                        f.Patterns.push_back(pattern);
                    pattern.clear();
                } else {
                    pattern += c;
                }
            }
        }
        if (f.Description.empty() && f.Patterns.empty())
            continue;
        out.push_back(std::move(f));
    }
    return out;
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) { FSave = true; }

bool TOpenDialog::Execute()
{
    KeepCurrentDir keep;
    TestHooks::TFileDialogRequest r;
    r.Save = FSave;
    r.Title = FTitle.empty() ? (FSave ? "Save As" : "Open") : FTitle;
    r.Filters = ParseFileFilter(FFilter);
    r.FilterIndex = FFilterIndex >= 1 && FFilterIndex <= static_cast<int>(r.Filters.size()) ? FFilterIndex : 1;
    r.DefaultExt = FDefaultExt;
    r.Options = FOptions;
    const std::string cwd = keep.Dir();
    const std::string fileFolder = ExtractFilePath(FFileName);
    if (!FInitialDir.empty() && DirectoryExists(FInitialDir))
        r.Folder = Absolute(FInitialDir, cwd);
    else if (!fileFolder.empty() && DirectoryExists(fileFolder))
        r.Folder = Absolute(fileFolder, cwd);
    else
        r.Folder = ResolvePath(ExpandFileName(cwd));
    while (r.Folder.size() > 1 && r.Folder.back() == '/')
        r.Folder.pop_back();
    r.FileName = ExtractFileName(FFileName);
    std::string ext = FDefaultExt;
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);

    for (r.Attempt = 1; r.Attempt <= MaxAttempts; ++r.Attempt) {
        Hooks().Log.push_back(r);
        TestHooks::TFileDialogAnswer answer;
        if (auto hook = Hooks().Answer) {
            if (!CallProtected([&] { answer = hook(r); }))
                return false;
        } else if (TestHooks::Headless() && !TestHooks::WindowShownHookSet()) {
            return false;
        } else {
            answer = RunRealDialog(r);
        }
        std::vector<std::string> names;
        for (const std::string& n : answer.Names)
            if (!n.empty())
                names.push_back(n);
        if (!answer.Accepted || names.empty())
            return false;
        if (!FOptions.Contains(ofAllowMultiSelect))
            names.resize(1);
        bool refused = false;
        for (std::string& name : names) {
            const std::string typed = Absolute(name, r.Folder);
            name = typed;
            if (!ext.empty() && ExtractFileExt(ExtractFileName(name)).empty() && (FSave || !FileExists(typed)))
                name = ResolvePath(name + "." + ext);
            const std::string folder = ExcludeTrailingPathDelimiter(ExtractFilePath(name));
            if (FOptions.Contains(ofPathMustExist) && !folder.empty() && !DirectoryExists(folder)) {
                MessageDlg("Folder not found:\r\n" + folder, mtWarning, {mbOK});
                refused = true;
            } else if (!FSave && FOptions.Contains(ofFileMustExist) && !FileExists(name)) {
                MessageDlg("File not found:\r\n" + name, mtWarning, {mbOK});
                refused = true;
            } else if (FSave && FOptions.Contains(ofOverwritePrompt) && FileExists(name) &&
                       MessageDlg(name + " already exists.\r\nDo you want to replace it?", mtConfirmation,
                                  {mbYes, mbNo}) != mrYes) {
                refused = true;
            }
            if (refused)
                break;
        }
        if (refused) {
            r.FileName = ExtractFileName(answer.Names.front());
            continue;
        }
        FFiles = names;
        FFileName = names.front();
        if (answer.FilterIndex >= 1 && answer.FilterIndex <= static_cast<int>(r.Filters.size()))
            FFilterIndex = answer.FilterIndex;
        return true;
    }
    return false;
}

namespace TestHooks {

void SetFileDialogAnswer(std::function<TFileDialogAnswer(const TFileDialogRequest&)> answer)
{
    Hooks().Answer = std::move(answer);
}

const std::vector<TFileDialogRequest>& FileDialogLog() { return Hooks().Log; }

} // namespace TestHooks
