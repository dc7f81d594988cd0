// What the settings store's tests share: a store that fails on purpose, a file size limit,
// settings from value lists, and a test base that gives every test its own configuration folder.
#pragma once

#include <QtTest>

#include <QRandomGenerator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <climits>
#include <csignal>

#include "FileSizeLimit.h"
#include "QuorvikIniFile.h"

namespace ini = quorvik::QuorvikIniFile;

// What the stores of one test did; shared between the test and its factory.
struct Script {
    enum class Fault { None, CreateSection, RefuseWrite, RefuseCommit };
    Fault fault = Fault::None;
    int failAtWrite = 0;  // counted from 1
    int writes = 0;
    int commits = 0;
    int closes = 0;
};

// The real store with a fault put in at one write or at the commit.
class FaultyStore final : public ini::Store {
public:
    FaultyStore(std::unique_ptr<ini::Store> real, Script& script)
        : real_(std::move(real)), script_(script) {}

    std::int32_t GetIntegerValue(const QString& section, const QString& name,
                                 std::int32_t defaultValue) override {
        return real_->GetIntegerValue(section, name, defaultValue);
    }
    void PutIntegerValue(const QString& section, const QString& name, std::int32_t value) override {
        countWrite(section, name);
        real_->PutIntegerValue(section, name, value);
    }
    void PutTextValue(const QString& section, const QString& name, const QString& text) override {
        countWrite(section, name);
        real_->PutTextValue(section, name, text);
    }
    bool Commit() override {
        ++script_.commits;
        return script_.fault != Script::Fault::RefuseCommit && real_->Commit();
    }
    void CloseStore() noexcept override {
        ++script_.closes;
        real_->CloseStore();
    }

private:
    void countWrite(const QString& section, const QString& name) {
        if (++script_.writes != script_.failAtWrite) {
            return;
        }
        if (script_.fault == Script::Fault::CreateSection) {
            throw ini::StoreError("Failed to create key " + section);
        }
        if (script_.fault == Script::Fault::RefuseWrite) {
            throw ini::StoreError(QStringLiteral("Failed to set data for '%1'").arg(name));
        }
    }

    std::unique_ptr<ini::Store> real_;
    Script& script_;
};

// X1, Y1, X2, Y2, Lev, Unique, Resume, Zoom, Fit, ShowTime, Tally, Difficulty.
inline ini::Settings settingsOf(const QList<int>& values, const QString& version = QString()) {
    ini::Settings settings;
    settings.left = values[0];
    settings.top = values[1];
    settings.width = values[2];
    settings.height = values[3];
    settings.level = values[4];
    settings.unique = values.value(5, 0) != 0;
    settings.resume = values.value(6, 1) != 0;
    settings.zoom = values.value(7, 100);
    settings.fitToScreen = values.value(8, 1) != 0;
    settings.showTime = values.value(9, 1) != 0;
    settings.tally = values.value(10, 0) != 0;
    settings.difficulty = values.value(11, 0);
    settings.version = version;
    return settings;
}
inline QList<int> valuesOf(const ini::Settings& s) {
    return {s.left,
            s.top,
            s.width,
            s.height,
            s.level,
            s.unique ? 1 : 0,
            s.resume ? 1 : 0,
            s.zoom,
            s.fitToScreen ? 1 : 0,
            s.showTime ? 1 : 0,
            s.tally ? 1 : 0,
            s.difficulty};
}

inline const QList<int> defaults = {5, 5, 176, 140, 4, 0, 1, 100, 1, 1, 0, 0};
// What a load has not touched: none of it is a default.
inline const QList<int> untouched = {77, 77, 77, 77, 77, 1, 0, 150, 0, 0, 1, 2};

// The file's values as the store writes them for settings.
inline QMap<QString, QString> storedTexts(const ini::Settings& s) {
    return {{"Version/Ver", s.version},
            {"Position/X1", QString::number(s.left)},
            {"Position/Y1", QString::number(s.top)},
            {"Position/X2", QString::number(s.width)},
            {"Position/Y2", QString::number(s.height)},
            {"Options/Lev", QString::number(s.level)},
            {"Options/Unique", s.unique ? "1" : "0"},
            {"Options/Resume", s.resume ? "1" : "0"},
            {"Options/Zoom", QString::number(s.zoom)},
            {"Options/ZoomFit", s.fitToScreen ? "1" : "0"},
            {"Options/ShowTime", s.showTime ? "1" : "0"},
            {"Options/Tally", s.tally ? "1" : "0"},
            {"Options/Schwierigkeit", QString::number(s.difficulty)}};
}

inline QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

// A test class's base: the configuration folders and the helpers that read the written file.
class IniFileTest : public QObject {
protected:
    QTemporaryDir base_;
    std::unique_ptr<QTemporaryDir> home_;
    Script script_;

    QString iniFolder() const { return home_->path() + "/Software"; }
    QString iniPath() const { return iniFolder() + "/Quorvik.ini"; }

    void writeIni(const QByteArray& content) {
        QVERIFY(QDir().mkpath(iniFolder()));
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    static QByteArray bytesOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArray iniBytes() const { return bytesOf(iniPath()); }
    // The file's values as written, "Section/Name" -> the text after "=".
    QMap<QString, QString> rawValues() const {
        QMap<QString, QString> values;
        QString section;
        for (const QByteArray& line : iniBytes().split('\n')) {
            if (line.startsWith('[') && line.endsWith(']')) {
                section = QString::fromUtf8(line.mid(1, line.size() - 2));
            } else if (const qsizetype eq = line.indexOf('='); eq > 0) {
                values.insert(section + '/' + QString::fromUtf8(line.left(eq)),
                              QString::fromUtf8(line.mid(eq + 1)));
            }
        }
        return values;
    }
    QStringList strayFiles() const {
        QStringList files =
            QDir(iniFolder())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        files.removeOne("Quorvik.ini");
        return files;
    }
    void useFaultyStore() {
        ini::setStoreFactory([this](const QString& path) {
            return std::make_unique<FaultyStore>(ini::openIniStore(path), script_);
        });
    }
    // A device to link to. With root rights a faulty store could replace the system's own
    // /dev/zero through the link, so the test then links to a node of the same device in its
    // folder; without them /dev cannot be written to.
    QString deviceLike(const QString& device) const {
        struct stat info {};
        if (geteuid() != 0 || stat(QFile::encodeName(device).constData(), &info) != 0) {
            return device;
        }
        const QString node = home_->path() + '/' + QFileInfo(device).fileName();
        return mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, info.st_rdev) == 0
                   ? node
                   : QString();
    }
    // Saves settings in a child process that kills itself when its save reaches `step`, as a
    // kill -9 at that moment would. Returns whether the child died there.
    static bool saveKilledAt(const ini::Settings& settings, ini::CommitStep step) {
        const pid_t child = fork();
        if (child == 0) {
            ini::setStoreFactory([step](const QString& path) {
                return ini::openIniStore(path, [step](ini::CommitStep reached) {
                    if (reached == step) {
                        raise(SIGKILL);
                    }
                });
            });
            ini::saveSettings(settings);
            _exit(0);
        }
        int status = 0;
        return child > 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status) &&
               WTERMSIG(status) == SIGKILL;
    }

    void prepareBaseFolder() {
        // Before the first QSettings object: the store must never reach the real home.
        QVERIFY(base_.isValid());
        qputenv("XDG_CONFIG_HOME", base_.path().toUtf8());
        QCOMPARE(ini::storeLocation(), base_.path() + "/Software/Quorvik.ini");
    }

    void prepareTestFolder() {
        // A folder of its own per test, so that no test sees another one's file through
        // QSettings' in-process cache.
        home_ = std::make_unique<QTemporaryDir>(base_.path() + "/home-XXXXXX");
        QVERIFY(home_->isValid());
        qputenv("XDG_CONFIG_HOME", home_->path().toUtf8());
        QCOMPARE(ini::storeLocation(), iniPath());
        ini::setStoreFactory({});
        script_ = Script{};
    }
};
