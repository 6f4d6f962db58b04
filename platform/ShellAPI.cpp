#include "platform/ShellAPI.h"

#include <QDesktopServices>
#include <QFile>
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

} // namespace

bool ShellOpenUrl(const std::string& address)
{
    auto& h = Hooks();
    if (h.Record || h.Fail) {
        h.Log.push_back(address);
        return !h.Fail;
    }
    const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid() || address.empty())
        return false;
    return QDesktopServices::openUrl(url);
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
