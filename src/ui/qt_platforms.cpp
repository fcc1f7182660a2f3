#include "qt_platforms.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

#include <filesystem>
#include <optional>
#include <vector>

namespace telvo::platform {

namespace {

// The files in the folders where Qt looks for platform plugins.
std::vector<std::filesystem::path> PlatformPluginFiles(const std::string &pluginPathOption) {
    QStringList folders;
    for (const QString &path :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        folders << path + "/platforms";
    }
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms"
            << QFileInfo("/proc/self/exe").canonicalPath() + "/platforms"
            << (pluginPathOption.empty() ? qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH")
                                         : QString::fromStdString(pluginPathOption));
    // Listed without QDir's name filters, whose pattern matching costs the
    // clock some 400 KB for good.
    std::vector<std::filesystem::path> files;
    for (const QString &folder : folders) {
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator(folder.toStdString(), error)) {
            if (entry.path().extension() == ".so") {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

} // namespace

PlatformCheck QtPlatformCheck(const std::string &pluginPathOption) {
    // The folders are listed at the first platform asked about, and once.
    return [pluginPathOption, listed = std::optional<std::vector<std::filesystem::path>>()](
               const std::string &name) mutable -> std::string {
        if (!listed) {
            listed = PlatformPluginFiles(pluginPathOption);
        }
        const std::vector<std::filesystem::path> &files = *listed;
        // Qt takes the names in any case.
        const QString wanted = QString::fromStdString(name);
        const std::string named = "libq" + wanted.toLower().toStdString();
        for (const std::filesystem::path &file : files) {
            const std::string base = file.filename().string();
            if (base == named + ".so" || base.starts_with(named + "-")) {
                return {};
            }
        }
        // Read from each file's metadata; no plugin is loaded.
        QStringList keys;
        for (const std::filesystem::path &file : files) {
            const QPluginLoader plugin(QString::fromStdString(file.string()));
            for (const QJsonValue key :
                 plugin.metaData().value("MetaData").toObject().value("Keys").toArray()) {
                keys << key.toString();
            }
        }
        if (keys.contains(wanted, Qt::CaseInsensitive)) {
            return {};
        }
        keys.sort();
        keys.removeDuplicates();
        return "no Qt platform \"" + name + "\" here; this Qt has " + keys.join(", ").toStdString();
    };
}

} // namespace telvo::platform
