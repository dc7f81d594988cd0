// The settings store's two procedures and the real store behind them. Every value is kept as
// text, and each write has reached the disk (or has failed) before the next one starts.
#include "QuorvikIniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariant>

#include <array>
#include <cstdio>
#include <utility>

namespace quorvik::QuorvikIniFile {

std::int32_t X1 = 0;
std::int32_t Y1 = 0;
std::int32_t X2 = 0;
std::int32_t Y2 = 0;
std::int32_t Lev = 0;
QString Ver;

namespace {

QString invalidDataType(const QString& name) {
    return QStringLiteral("Invalid data type for '%1'").arg(name);
}
QString failedToCreateKey(const QString& section) {
    return QStringLiteral("Failed to create key %1").arg(section);
}
QString failedToSetData(const QString& name) {
    return QStringLiteral("Failed to set data for '%1'").arg(name);
}

// A section or value name is one level of the store. An empty name, or one with a separator,
// would address the key itself or a deeper key, which the program never means.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

// The QSettings object for the program key at path ("Software\Quorvik"). On Linux it only
// reads; writes go through replaceIniValue.
std::unique_ptr<QSettings> settingsFor(const QString& path) {
#ifdef Q_OS_WIN
    // A path constructor, because the organisation form would prefix another "Software\".
    auto settings = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\") + path,
                                                QSettings::NativeFormat);
#else
    // "Software\Quorvik" becomes organisation "Software" and application "Quorvik", that is
    // the file Software/Quorvik.ini in the user's configuration folder.
    const qsizetype split = path.lastIndexOf(u'\\');
    const QString organisation = split < 0 ? QString() : path.left(split).replace(u'\\', u'/');
    const QString application = path.mid(split + 1);
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                organisation, application);
#endif
    // Only the program key itself counts: no values from Software.ini or the system folders.
    settings->setFallbacksEnabled(false);
    return settings;
}

// The text a stored value holds, or nothing when it holds another type. A value without any
// content reads as the empty text, whatever its type.
std::optional<QString> storedText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString();
#ifndef Q_OS_WIN
        case QMetaType::QStringList:
            // An unquoted value with commas in the INI file: text that the INI reader split.
            // Put together again it still holds a comma, so it never reads as an integer.
            return value.toStringList().join(u',');
#endif
        case QMetaType::QByteArray:
            if (value.toByteArray().isEmpty()) {
                return QString();
            }
            break;
        case QMetaType::UnknownType:  // "@Invalid()" in the INI file
            return QString();
        default:
            break;
    }
    return std::nullopt;
}

#ifndef Q_OS_WIN
// Whether the INI file QSettings just wrote from keys is all there, with text under key.
// QSettings writes one line per key, a header line per section and an empty line between two
// sections, and escapes every line break inside keys and values; so a file cut short ends
// inside a line or has fewer line breaks. Counting holds for keys salvaged from a damaged file
// too, which do not always read back under the same name.
bool isCompleteIniFile(const QString& fileName, const QStringList& keys, const QString& key,
                       const QString& text) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    QSet<QString> sections;
    for (const QString& each : keys) {
        const qsizetype slash = each.indexOf(u'/');
        sections.insert(slash < 0 ? QString() : each.left(slash));
    }
    const qsizetype lines = 2 * sections.size() - 1 + keys.size();
    if (!bytes.endsWith('\n') || bytes.count('\n') != lines) {
        return false;
    }
    // Read the value back under a second name for the same file: QSettings shares what it
    // parsed per file name, and would hand back its own map instead of what is on the disk.
    const QString view = fileName + QStringLiteral(".check");
    QFile::remove(view);
    if (!QFile::link(fileName, view)) {
        return false;
    }
    bool written = false;
    {
        const QSettings reread(view, QSettings::IniFormat);
        written = reread.value(key) == QVariant(text);
    }
    QFile::remove(view);
    return written;
}

// Puts key = text into the INI file so that the file is replaced whole or not at all.
// QSettings writes through QSaveFile, but in Qt 6.4 a write that fails at its very end (a full
// disk, a quota, a file size limit) still renames the cut-off file over the old one and reports
// no error. So the change is made in a staging copy beside the file, checked to be complete,
// and only then renamed over the file.
bool replaceIniValue(const QString& fileName, const QString& key, const QString& text) {
    const QFileInfo target(fileName);
    // The same lock file QSettings itself uses for this file, against a second running copy.
    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(2000)) {
        return false;
    }
    QTemporaryFile staging(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                           QStringLiteral(".XXXXXX"));
    if (!staging.open()) {
        return false;
    }
    if (target.exists()) {
        QFile current(fileName);
        if (!current.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QByteArray bytes = current.readAll();
        if (current.error() != QFileDevice::NoError || staging.write(bytes) != bytes.size() ||
            !staging.flush()) {
            return false;
        }
    }
    staging.close();
    const QString stagingName = staging.fileName();

    QStringList keys;
    {
        QSettings settings(stagingName, QSettings::IniFormat);
        settings.setAtomicSyncRequired(true);
        settings.setValue(key, text);
        settings.sync();
        if (settings.status() == QSettings::AccessError) {
            return false;
        }
        keys = settings.allKeys();
    }
    if (!isCompleteIniFile(stagingName, keys, key, text)) {
        return false;  // the staging copy is removed with `staging`
    }
    return std::rename(QFile::encodeName(stagingName).constData(),
                       QFile::encodeName(fileName).constData()) == 0;
}
#endif

class IniStore final : public Store {
public:
    explicit IniStore(const QString& path) : path_(path) {
        const auto settings = settingsFor(path_);
        fileName_ = settings->fileName();
#ifdef Q_OS_WIN
        // The registry creates the key with the first value written below it.
        keyOpen_ = settings->status() == QSettings::NoError;
#else
        // The key is the INI file's folder; the file itself appears with the first write.
        keyOpen_ = QDir().mkpath(QFileInfo(fileName_).absolutePath());
#endif
    }

    std::int32_t GetIntegerValue(const QString& section, const QString& name,
                                 std::int32_t defaultValue) override {
        if (!keyOpen_ || !isPlainName(section) || !isPlainName(name)) {
            return defaultValue;
        }
        const auto settings = settingsFor(path_);
        const QString key = section + u'/' + name;
        if (settings->status() == QSettings::AccessError || !settings->contains(key)) {
            return defaultValue;
        }
        std::optional<QString> text = storedText(settings->value(key));
        if (!text) {
            throw StoreError(invalidDataType(name));
        }
        // A stored text ends at its first zero character.
        const qsizetype zero = text->indexOf(QChar(u'\0'));
        if (zero >= 0) {
            text->truncate(zero);
        }
        return textToInteger(*text).value_or(defaultValue);
    }

    void PutTextValue(const QString& section, const QString& name, const QString& text) override {
        if (!keyOpen_ || !isPlainName(section)) {
            throw StoreError(failedToCreateKey(section));
        }
        if (!isPlainName(name)) {
            throw StoreError(failedToSetData(name));
        }
        const QString key = section + u'/' + name;
#ifdef Q_OS_WIN
        const auto settings = settingsFor(path_);
        settings->setValue(key, text);  // REG_SZ
        settings->sync();
        const bool written = settings->status() == QSettings::NoError;
#else
        const bool written = replaceIniValue(fileName_, key, text);
#endif
        if (!written) {
            throw StoreError(failedToSetData(name));
        }
    }

    void CloseStore() noexcept override {
        keyOpen_ = false;
    }

private:
    QString path_;
    QString fileName_;
    bool keyOpen_ = false;
};

// The five integers in load and save order, with their places in the store.
struct StoredInteger {
    const char16_t* section;
    const char16_t* name;
    std::int32_t* variable;
    std::int32_t defaultValue;
};
const std::array<StoredInteger, 5> storedIntegers = {{
    {u"Position", u"X1", &X1, DefaultX1},
    {u"Position", u"Y1", &Y1, DefaultY1},
    {u"Position", u"X2", &X2, DefaultX2},
    {u"Position", u"Y2", &Y2, DefaultY2},
    {u"Options", u"Lev", &Lev, DefaultLev},
}};

int lastValuesRead = 0;

StoreFactory& currentFactory() {
    static StoreFactory factory;
    return factory;
}

// Holds the store for one load or save and closes it on every way out.
class StoreSession {
public:
    explicit StoreSession(std::unique_ptr<Store> store) : store_(std::move(store)) {}
    ~StoreSession() {
        if (store_) {
            store_->CloseStore();
        }
    }
    StoreSession(const StoreSession&) = delete;
    StoreSession& operator=(const StoreSession&) = delete;

    explicit operator bool() const { return store_ != nullptr; }
    Store* operator->() const { return store_.get(); }

private:
    std::unique_ptr<Store> store_;
};

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<std::int32_t> textToInteger(QStringView text) {
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && text[i] == u' ') {
        ++i;
    }
    bool negative = false;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < size && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        i += 1;
    } else if (i + 1 < size && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == size) {
        return std::nullopt;  // empty, or a sign or prefix with no digits after it
    }

    // Both forms build the magnitude as an unsigned 32-bit pattern; negating it there and
    // converting afterwards gives the two's-complement result without signed overflow, also
    // for -2147483648.
    std::uint32_t magnitude = 0;
    if (hex) {
        int significant = 0;
        for (; i < size; ++i) {
            const int digit = hexDigit(text[i].unicode());
            if (digit < 0) {
                return std::nullopt;
            }
            if (significant == 0 && digit == 0) {
                continue;  // leading zeros do not count
            }
            if (++significant > 8) {
                return std::nullopt;
            }
            magnitude = (magnitude << 4) | static_cast<std::uint32_t>(digit);
        }
    } else {
        const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
        std::uint64_t value = 0;
        for (; i < size; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') {
                return std::nullopt;
            }
            value = value * 10 + static_cast<std::uint64_t>(c - u'0');
            if (value > limit) {
                return std::nullopt;
            }
        }
        magnitude = static_cast<std::uint32_t>(value);
    }
    if (negative) {
        magnitude = 0u - magnitude;
    }
    return static_cast<std::int32_t>(magnitude);
}

std::unique_ptr<Store> openIniStore(const QString& path) {
    return std::make_unique<IniStore>(path);
}

std::unique_ptr<Store> OpenStore(const QString& path) {
    const StoreFactory& factory = currentFactory();
    return factory ? factory(path) : openIniStore(path);
}

StoreFactory setStoreFactory(StoreFactory factory) {
    return std::exchange(currentFactory(), std::move(factory));
}

QString storeLocation() {
    const QString path = QString::fromUtf16(ProgramKey);
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\") + path;
#else
    return settingsFor(path)->fileName();
#endif
}

void LoadSettings() {
    lastValuesRead = 0;
    // The first load of a user creates the program key here.
    StoreSession store(OpenStore(QString::fromUtf16(ProgramKey)));
    for (const StoredInteger& value : storedIntegers) {
        *value.variable =
            store ? store->GetIntegerValue(QString::fromUtf16(value.section),
                                           QString::fromUtf16(value.name), value.defaultValue)
                  : value.defaultValue;
        ++lastValuesRead;
    }
}

int valuesRead() {
    return lastValuesRead;
}

std::optional<QString> LoadSettingsOrDefaults() {
    try {
        LoadSettings();
        return std::nullopt;
    } catch (const StoreError& error) {
        for (std::size_t i = static_cast<std::size_t>(lastValuesRead); i < storedIntegers.size();
             ++i) {
            *storedIntegers[i].variable = storedIntegers[i].defaultValue;
        }
        return error.message();
    }
}

void SaveSettings() noexcept {
    try {
        StoreSession store(OpenStore(QString::fromUtf16(ProgramKey)));
        if (!store) {
            return;
        }
        // The version goes first: when even that fails, nothing at all is saved.
        store->PutTextValue(QStringLiteral("Version"), QStringLiteral("Ver"), Ver);
        for (const StoredInteger& value : storedIntegers) {
            store->PutIntegerValue(QString::fromUtf16(value.section),
                                   QString::fromUtf16(value.name), *value.variable);
        }
    } catch (...) {
        // A failed save is dropped: the values written before the failure stay, the rest are
        // not attempted, and the player is not troubled with it.
    }
}

}  // namespace quorvik::QuorvikIniFile
